#pragma once
// What the main window's tab controllers ask of the window: changes of its
// elements and its boxes. Called on the window's thread only.

#include <string>

#include <windows.h>

class WardenSurface {
public:
    virtual HWND Window() const = 0;
    virtual void EnableElement(int id, bool enabled) = 0;
    virtual void ShowElementById(int id, bool shown) = 0;
    virtual void SetElementSub(int id, const char* sub) = 0;
    // The checked state screen readers are told of (the picture is the sub's).
    virtual void CheckElement(int id, bool checked) = 0;
    virtual void ReplaceMarkup(int id, const std::string& markup) = 0;
    // The message box with a text already prepared; its answer.
    virtual int RunBox(const std::wstring& text, int mode) = 0;
    // The message box with the text a mode prepares (see PrepareMsgBoxText).
    virtual int ShowMsgBox(const std::wstring& text, int mode) = 0;

protected:
    ~WardenSurface() = default;
};
