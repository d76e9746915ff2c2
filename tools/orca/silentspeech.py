"""A speech server for Orca that speaks nothing. Orca still logs every
phrase it would speak ("SPEECH OUTPUT: ...") in its debug file, which is
all a headless session needs; speech-dispatcher would hang without an audio
device."""
from orca import speechserver


class SpeechServer(speechserver.SpeechServer):
    _active = None

    @staticmethod
    def getFactoryName():
        return "Silent"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._active is None:
            SpeechServer._active = SpeechServer()
        return SpeechServer._active

    @staticmethod
    def shutdownActiveServers():
        SpeechServer._active = None

    def getInfo(self):
        return ["Silent", "silent"]

    def getVoiceFamilies(self):
        return []

    def sayAll(self, utteranceIterator, progressCallback):
        pass

    def speak(self, text=None, acss=None, interrupt=True):
        pass

    def speakCharacter(self, character, acss=None):
        pass

    def speakKeyEvent(self, event, acss=None):
        pass

    def stop(self):
        pass

    def shutdown(self):
        pass

    def reset(self, text=None, acss=None):
        pass
