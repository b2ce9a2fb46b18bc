// Test fixtures for the plug-in: an isolated configuration whose "path" names a private copy of
// the install folder, a scripted user interface, and either an in-process plug-in object or the
// built module loaded through the host harness.
#pragma once

#include "host_module.h"
#include "platform/user_interface.h"
#include "support/test_folders.h"

#include <memory>
#include <string>
#include <vector>

namespace pelko {
class Program;
class SynthPlugin;
}

namespace testing_support {

class PluginEnvironment {
public:
    // withPath: write "path" into the registry, naming the private install folder.
    // withFactoryBank: keep the factory bank in that folder (a first start then loads it).
    explicit PluginEnvironment(bool withPath = true, bool withFactoryBank = false);
    ~PluginEnvironment();

    const std::string& installFolder() const { return install_.path(); }
    IsolatedConfig& config() { return config_; }
    pelko::ScriptedUserInterface& ui() { return *ui_; }

private:
    IsolatedConfig config_;
    InstallFolderCopy install_;
    std::shared_ptr<pelko::ScriptedUserInterface> ui_;
    std::shared_ptr<pelko::UserInterface> previousUi_;
};

// The programs of the three factory banks of the environment's install folder, in bank order,
// each name once; without the banks' unnamed slots ("program n") unless withUnnamed. A bank that
// does not load is a test failure.
std::vector<pelko::Program> factoryPrograms(const PluginEnvironment& environment, bool withUnnamed = false);

// A plug-in object built in this process through the entry point, with a recording host.
class InProcessPlugin {
public:
    explicit InProcessPlugin(long hostVersion = 2400);
    ~InProcessPlugin();

    pelko::SynthPlugin* plugin() const { return plugin_; }
    vst2::AEffect* effect() const { return effect_; }
    int automateCalls() const;
    int updateDisplayCalls() const;
    // The last MIDI message sent to the host as status << 16 | data1 << 8 | data2; -1 for none.
    int lastMidiSent() const;
    // Gestures begun and not yet ended, and gestures begun in all.
    int openGestures() const;
    int gestures() const;
    // Host calls (other than the version question) the plug-in made before the entry function
    // returned its descriptor.
    int callsBeforeDescriptor() const;
    // The tempo every recording host reports from now on; 0 or less: no tempo.
    static void setHostTempo(double bpm);

private:
    vst2::AEffect* effect_ = nullptr;
    pelko::SynthPlugin* plugin_ = nullptr;
};

// The built module, loaded with dlopen and instantiated.
class LoadedModule {
public:
    LoadedModule();
    host::HostModule& host() { return module_; }
    vst2::AEffect* effect() { return module_.effect(); }

private:
    host::HostModule module_;
};

}  // namespace testing_support
