// The plug-in's editor as the format adapter sees it: a rectangle, a window opened inside the
// host's parent window (or a headless frame that draws into an image), idle, keys, the wheel and
// the knob mode. The editor itself lives in src/editor/core, which builds on the plug-in; the
// plug-in reaches it only through this interface and a factory that the module's entry installs
// before the first instance is made. Without a factory the plug-in has no editor.
//
// Every call is for the user-interface thread (the thread that opened the editor).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace pelko {

class SynthPlugin;

struct EditorRectangle {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
};

class PluginEditor {
public:
    virtual ~PluginEditor() = default;

    virtual EditorRectangle rectangle() const = 0;
    // parent: the host's X window id; 0 opens a headless frame (no window, no X connection).
    // True when the frame was created.
    virtual bool open(std::uintptr_t parent) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void idle() = 0;
    // A key from the host: its character, its virtual key (vst2-abi numbering) and the modifier
    // bits. True when the editor used it.
    virtual bool keyDown(int character, int virtualKey, int modifiers) = 0;
    virtual bool keyUp(int character, int virtualKey, int modifiers) = 0;
    // A wheel distance from the host (notches); true when a control took it.
    virtual bool wheel(float distance) = 0;
    // 0 circular, 1 circular relative, 2 linear.
    virtual void setKnobMode(int mode) = 0;
    // Writes the picture of page 0–17 (with the permanent pages), or of what is shown for -1, to
    // a PNG file; the editor must be open. False when it cannot.
    virtual bool renderPage(int /*page*/, const std::string& /*path*/) { return false; }
    // The scale the editor draws at from its next opening on (1 or 2; 0: as the settings and the
    // display say).
    virtual void setScaleOverride(int /*scale*/) {}
};

using PluginEditorFactory = std::unique_ptr<PluginEditor> (*)(SynthPlugin& plugin);

// Installed once by the module's entry (and by tests), before any instance exists.
void installPluginEditorFactory(PluginEditorFactory factory);
PluginEditorFactory pluginEditorFactory();

// The private vendor-specific call with which a tool asks the open editor for a picture:
// effVendorSpecific, index kRenderPageCall, value = page (or -1), ptr = the PNG file's path.
constexpr std::int32_t kRenderPageCall = ('P' << 24) | ('k' << 16) | ('S' << 8) | 'h';
// The private call with which a tool sets the editor's drawing scale for its next opening:
// effVendorSpecific, index kEditorScaleCall, value = 1, 2 or 0 (as the settings say).
constexpr std::int32_t kEditorScaleCall = ('P' << 24) | ('k' << 16) | ('S' << 8) | 'c';

}  // namespace pelko
