#pragma once
// The process's fonts, made from font codes against one base font. The base
// face is chosen from the installed fonts (Microsoft YaHei when present,
// else SimSun) and the base height is -12.

#include <string>
#include <unordered_map>

#include <windows.h>

#include "common/CriticalSection.h"

class TwFontPool {
public:
    static TwFontPool& Instance();

    // The font for a code (created on first use; a failed creation is not kept).
    HFONT GetFont(unsigned code);
    // Replaces face and height and recreates font 0 only.
    void SetBaseFont(const wchar_t* face, int height);
    const std::wstring& BaseFace() const { return m_face; }
    int BaseHeight() const { return m_height; }
    // True for the two YaHei faces, whose text needs a vertical correction.
    bool BaseIsYaHei() const;

    TwFontPool(const TwFontPool&) = delete;
    TwFontPool& operator=(const TwFontPool&) = delete;
    ~TwFontPool();

    // The face the installed fonts choose (registry probe).
    static std::wstring ProbeBaseFace();

private:
    TwFontPool();
    void ResetBaseLogFont();
    HFONT Create(unsigned code) const;

    std::wstring m_face;
    int m_height = -12;
    LOGFONTW m_base = {};
    // Held by every use of the fonts and the base: tip threads paint (and
    // make fonts) while the main thread does.
    mutable CriticalSection m_lock;
    std::unordered_map<unsigned, HFONT> m_fonts;
};
