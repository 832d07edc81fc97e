#include "ui/engine/TwFontPool.h"

#include "common/RegistryKey.h"
#include "ui/core/TwNotation.h"

namespace {

const wchar_t kSimSun[] = L"\x5B8B\x4F53";                   // 宋体
const wchar_t kYaHeiChinese[] = L"\x5FAE\x8F6F\x96C5\x9ED1"; // 微软雅黑

} // namespace

TwFontPool& TwFontPool::Instance() {
    static TwFontPool pool;
    return pool;
}

std::wstring TwFontPool::ProbeBaseFace() {
    const RegistryKey fonts(HKEY_LOCAL_MACHINE,
                            L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                            KEY_QUERY_VALUE);
    if (fonts.HasValue(L"\x5FAE\x8F6F\x96C5\x9ED1 (TrueType)"))
        return kYaHeiChinese;
    if (fonts.HasValue(L"Microsoft YaHei (TrueType)") ||
        fonts.HasValue(L"Microsoft YaHei (TrueType) & Microsoft YaHei UI (TrueType)"))
        return L"Microsoft YaHei";
    if (fonts.HasValue(L"\x5B8B\x4F53 & \x65B0\x5B8B\x4F53 (TrueType)"))
        return kSimSun;
    if (fonts.HasValue(L"SimSun & NSimSun (TrueType)"))
        return L"SimSun";
    return kSimSun;
}

TwFontPool::TwFontPool() : m_face(ProbeBaseFace()) {
    ResetBaseLogFont();
    if (HFONT base = Create(0))
        m_fonts[0] = base;
}

TwFontPool::~TwFontPool() {
    for (auto& [code, font] : m_fonts)
        DeleteObject(font);
}

bool TwFontPool::BaseIsYaHei() const {
    return m_face == kYaHeiChinese || m_face == L"Microsoft YaHei";
}

void TwFontPool::ResetBaseLogFont() {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof m_base, &m_base);
    m_base.lfHeight = m_height;
    lstrcpynW(m_base.lfFaceName, m_face.c_str(), LF_FACESIZE);
    m_base.lfQuality = BaseIsYaHei() ? CLEARTYPE_QUALITY : ANTIALIASED_QUALITY;
}

HFONT TwFontPool::Create(unsigned code) const {
    LOGFONTW font = m_base;
    const FontCode decoded = DecodeFontCode(code);
    font.lfWeight = decoded.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = decoded.italic ? TRUE : FALSE;
    font.lfUnderline = decoded.underline ? TRUE : FALSE;
    font.lfHeight = FontHeightFor(code, m_height);
    return CreateFontIndirectW(&font);
}

HFONT TwFontPool::GetFont(unsigned code) {
    ScopedLock lock(m_lock);
    const auto found = m_fonts.find(code);
    if (found != m_fonts.end())
        return found->second;
    HFONT font = Create(code);
    if (font)
        m_fonts[code] = font;
    return font;
}

void TwFontPool::SetBaseFont(const wchar_t* face, int height) {
    ScopedLock lock(m_lock);
    m_face = face ? face : L"";
    m_height = height;
    ResetBaseLogFont();
    const auto found = m_fonts.find(0);
    if (found != m_fonts.end()) {
        DeleteObject(found->second);
        m_fonts.erase(found);
    }
    if (HFONT base = Create(0))
        m_fonts[0] = base;
}
