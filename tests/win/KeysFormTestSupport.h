// Stand-ins for the main window's outside world in in-process tests: a MIDI library that
// records what it is asked, and a settings store in memory.
#pragma once

#include "engine/SettingsStore.h"
#include "keyboard/MidiOut.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

class RecordingMidi final : public MidiOut {
public:
    int devices = 1;
    bool openFails = false;
    std::vector<int> opened;
    std::vector<uint32_t> messages;

    uint32_t DeviceCount() override { return static_cast<uint32_t>(devices); }
    Result DeviceName(int device, std::string& name) override {
        if (device >= devices) return 2;
        name = device < 0 ? "Microsoft MIDI Mapper" : "Synth " + std::to_string(device);
        return NoError;
    }
    OpenResult Open(int device) override {
        opened.push_back(device);
        if (openFails || device >= devices) return {4, 0};
        return {NoError, static_cast<Handle>(0x100 + device + 1)};
    }
    Result ShortMessage(Handle, uint32_t message) override {
        messages.push_back(message);
        return NoError;
    }
    Result Reset(Handle) override { return NoError; }
    Result Close(Handle) override { return NoError; }
};

class MemoryRegistry final : public SettingsRegistry {
public:
    std::map<std::string, std::map<std::string, std::string>> keys; // "hive:path" -> values
    std::string open;

    static std::string Name(RegistryHive hive, std::string_view path) {
        return (hive == RegistryHive::CurrentUser ? "HKCU:" : "HKLM:") + std::string(path);
    }
    bool KeyExists(RegistryHive hive, std::string_view path) override {
        return keys.count(Name(hive, path)) != 0;
    }
    bool OpenKey(RegistryHive hive, std::string_view path, bool forWriting) override {
        open = Name(hive, path);
        if (forWriting) keys[open];
        return keys.count(open) != 0;
    }
    RegistryText ReadString(const std::string& name) override {
        auto& values = keys[open];
        auto found = values.find(name);
        if (found == values.end()) return {};
        return {RegistryText::Kind::Text, found->second};
    }
    bool WriteString(const std::string& name, const std::string& text) override {
        keys[open][name] = text;
        return true;
    }
    void CloseKey() override { open.clear(); }
    std::map<std::string, std::string>& User() {
        return keys[Name(RegistryHive::CurrentUser, SettingsKeyPath)];
    }
};
