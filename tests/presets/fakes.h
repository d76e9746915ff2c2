#pragma once
// The window without a screen for preset loading: the calculator's fake
// inputs and choices, and a preset view that records what it was told.
#include <array>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc_fakes.h"
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
    std::vector<std::string> errorDetails;
    void setParamsErrorDetails(const std::vector<std::string>& lines) override
    {
        ++calls;
        errorDetails = lines;
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
    // The problem line, kept apart from `calls`.
    std::string problemPath, problemReason;
    void setFileProblem(const std::string& path, const std::string& reason) override
    {
        problemPath = path;
        problemReason = reason;
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
        : inputs(windowInputs(sep)), calc(fakeBindings(inputs, analog, digital), sep), presets(calc, view)
    {
        calc.bindAll();
    }

    FakeInput& in(InputId id) { return inputs[static_cast<size_t>(id)]; }
    const std::string& text(InputId id) { return in(id).text; }
    const TMicParams& cur() const { return calc.currentMic(); }

    // Opens `file` and loads its preset `name` with that preset selected.
    void load(const std::string& file, const std::string& name)
    {
        presets.OpenMicSetFile(dataFile(file));
        for (size_t i = 0; i < view.items.size(); ++i)
            if (view.items[i] == name) view.index = static_cast<int>(i);
        presets.LoadMicPreset(name);
    }

    WindowInputs inputs;
    FakeChoice analog, digital;
    Calculator calc;
    FakePresetView view;
    presets::PresetController presets;
};
