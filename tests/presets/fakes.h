#pragma once
// In-memory stand-ins for the window: inputs that keep only their text, the
// two kind choices, and a preset view that records what it was told.
#include <array>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc/numtext.h"
#include "presets/presetcontroller.h"

inline std::string dataFile(const std::string& name) { return std::string(PRESETS_TEST_DATA) + "/" + name; }

// A fresh, empty folder removed again with its contents.
struct TempDir {
    TempDir()
        : path(std::filesystem::temp_directory_path() / ("presets_test_" + std::to_string(std::random_device{}())))
    {
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path path;
};

class FakeInput : public INumericInput {
public:
    FakeInput(int decimals, double initial, std::string sep) : decimals_(decimals), sep_(std::move(sep))
    {
        text = format(initial);
    }
    std::string text;
    int writes = 0;
    int eventsRaised = 0; // changes made while a handler was attached

    double floatValue() const override { return numtext::readInputText(text, sep_); }
    void setFloatValue(double v) override
    {
        ++writes;
        const std::string t = format(v);
        if (t == text) return;
        text = t;
        if (handler_) {
            ++eventsRaised;
            handler_();
        }
    }
    bool isTextEmpty() const override { return text.empty(); }
    void setOnChange(Handler h) override { handler_ = std::move(h); }
    bool hasOnChange() const override { return static_cast<bool>(handler_); }
    void setInputEnabled(bool) override {}

private:
    std::string format(double v) const { return numtext::formatFixed(v, decimals_, sep_); }
    int decimals_;
    std::string sep_;
    Handler handler_;
};

class FakeChoice : public IChoice {
public:
    bool chosen = false;
    FakeChoice* other = nullptr;
    bool isChosen() const override { return chosen; }
    void choose() override
    {
        chosen = true;
        if (other) other->chosen = false;
    }
    void setOnClick(Handler h) override { handler_ = std::move(h); }
    bool hasOnClick() const override { return static_cast<bool>(handler_); }

private:
    Handler handler_;
};

class FakePresetView : public presets::IPresetView {
public:
    std::vector<std::string> items;
    int index = -1;
    std::string description = "<MicDesc>";
    bool errorVisible = false;
    bool prevEnabled = true, nextEnabled = true;
    int captionUpdates = 0;
    int calls = 0; // every call that changes the view
    std::string openAnswer, saveAnswer;
    int openDialogs = 0, saveDialogs = 0;

    void clearPresets() override
    {
        ++calls;
        items.clear();
        index = -1;
    }
    void addPreset(const std::string& name) override
    {
        ++calls;
        items.push_back(name);
    }
    int presetCount() const override { return static_cast<int>(items.size()); }
    int presetIndex() const override { return index; }
    void setPresetIndex(int i) override
    {
        ++calls;
        index = i;
    }
    void setMicDescription(const std::string& t) override
    {
        ++calls;
        description = t;
    }
    void setParamsErrorVisible(bool v) override
    {
        ++calls;
        errorVisible = v;
    }
    void setPrevEnabled(bool e) override
    {
        ++calls;
        prevEnabled = e;
    }
    void setNextEnabled(bool e) override
    {
        ++calls;
        nextEnabled = e;
    }
    void updateCaption() override
    {
        ++calls;
        ++captionUpdates;
    }
    std::string askOpenFileName() override
    {
        ++openDialogs;
        return openAnswer;
    }
    std::string askSaveFileName() override
    {
        ++saveDialogs;
        return saveAnswer;
    }
};

// The window's microphone inputs with their decimals and start values, the
// calculator bound to them with its handlers attached, and the preset controller.
struct PresetRig {
    explicit PresetRig(const std::string& sep = ".")
        : inputs{{
              {1, 74.0, sep},   // seSourceLevel_dBSPL
              {5, 1.0, sep},    // seSourceLevel_Pa
              {0, 130, sep},    // seMicMaxLevel_dBSPL
              {1, 10.0, sep},   // seMicSens_mV
              {1, -40.0, sep},  // seMicSens_dBu
              {1, -42.0, sep},  // seMicSens_dBV
              {1, -26.0, sep},  // seMicSens_dBFS
              {1, 10.0, sep},   // seMicNoise_uV
              {1, -100.0, sep}, // seMicNoise_dBu
              {1, -102.0, sep}, // seMicNoise_dBV
              {1, -90.0, sep},  // seMicNoise_dBFS
              {1, 20.0, sep},   // seMicNoise_dBSPL
              {0, 20, sep},     // seAmpGain_dB
          }},
          calc(bindings()), presets(calc, view)
    {
        analog.chosen = true;
        analog.other = &digital;
        digital.other = &analog;
        calc.decimalSeparator = sep;
        calc.AttachInputHandlers();
    }

    FakeInput& in(InputId id) { return inputs[static_cast<size_t>(id)]; }
    const std::string& text(InputId id) { return in(id).text; }
    const TMicParams& cur() const { return calc.state.CurMic; }

    // Opens `file` and loads its preset `name` with that preset selected.
    void load(const std::string& file, const std::string& name)
    {
        presets.OpenMicSetFile(dataFile(file));
        for (size_t i = 0; i < view.items.size(); ++i)
            if (view.items[i] == name) view.index = static_cast<int>(i);
        presets.LoadMicPreset(name);
    }

    std::array<FakeInput, kInputCount> inputs;
    FakeChoice analog, digital;
    Calculator calc;
    FakePresetView view;
    presets::PresetController presets;

private:
    CalcBindings bindings()
    {
        CalcBindings b;
        for (size_t i = 0; i < kInputCount; ++i) b.inputs[i] = &inputs[i];
        b.rbMicAnalog = &analog;
        b.rbMicDigital = &digital;
        return b;
    }
};
