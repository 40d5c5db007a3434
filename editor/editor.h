// The platform-neutral editor as the plug-in object sees it: the panel's size, the window it
// opens inside the host's window, and the channel through which parameter values reach the
// controls. The plug-in object owns its editor once attached and deletes it with itself.
// Threads: the plug-in calls ReceiveParamFromPlugin with its lock held, from the host's thread.
#pragma once

class PluginBase;

class Editor {
public:
    explicit Editor(PluginBase* plug) : plug_(plug) {}
    virtual ~Editor() = default;
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Opens the editor window as a child of the host's window; returns the window or null.
    virtual void* CreateEditorWindow(void* parentWindow) = 0;
    virtual void DestroyEditorWindow() = 0;

    // Creates the frame buffer the controls are composed into.
    virtual void CreateDrawSurfaces() {}
    // Hands a parameter's value (plain units, or normalised) to the controls bound to it.
    virtual void ReceiveParamFromPlugin(int /*index*/, double /*value*/, bool /*isNormalized*/) {}

protected:
    PluginBase* plug_;
    int width_ = 300;
    int height_ = 350;
};
