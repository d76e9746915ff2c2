#pragma once
// The main window's preset controls as preset loading sees them.
#include <QString>

#include <string>

#include "presets/presetcontroller.h"

class TfmMain;

// A name or text of a mic-set file as written there, every character kept:
// QString::fromStdString drops a leading byte-order mark, so a section named
// "[\uFEFFName]" would be listed and captioned as another name.
QString textAsWritten(const std::string& utf8);

// A preset name as the list and the caption show it: as written, but cut
// after kShownNameLength characters with an ellipsis (a name may be
// megabytes long; the full name still loads its preset).
inline constexpr int kShownNameLength = 255;
QString presetNameShown(const std::string& utf8);

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
    void setParamsErrorDetails(const std::vector<std::string>& lines) override;
    void setPrevEnabled(bool enabled) override;
    void setNextEnabled(bool enabled) override;
    void updateCaption() override;
    void setFileProblem(const std::string& path, const std::string& reason) override;
    std::string askOpenFileName() override;
    std::string askSaveFileName() override;

    // How many presets have loaded (each load sets the description).
    int loads() const { return loads_; }

private:
    TfmMain& w_;
    int loads_ = 0;
};
