#include "plugin/plugin_editor.h"

#include <atomic>

namespace pelko {
namespace {
std::atomic<PluginEditorFactory> installedFactory{nullptr};
}  // namespace

void installPluginEditorFactory(PluginEditorFactory factory) { installedFactory.store(factory); }

PluginEditorFactory pluginEditorFactory() { return installedFactory.load(); }

}  // namespace pelko
