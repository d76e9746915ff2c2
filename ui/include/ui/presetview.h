#pragma once
// The main window's preset controls as preset loading sees them.
#include "presets/presetcontroller.h"

class TfmMain;

class WindowPresetView : public presets::IPresetView {
public:
    explicit WindowPresetView(TfmMain& w) : w_(w) {}

    void clearPresets() override;
    void addPreset(const std::string& name) override;
    int presetCount() const override;
    int presetIndex() const override;
    void setPresetIndex(int index) override;
    void setMicDescription(const std::string& text) override;
    void setParamsErrorVisible(bool visible) override;
    void setPrevEnabled(bool enabled) override;
    void setNextEnabled(bool enabled) override;
    void updateCaption() override;
    std::string askOpenFileName() override;
    std::string askSaveFileName() override;

private:
    TfmMain& w_;
};
