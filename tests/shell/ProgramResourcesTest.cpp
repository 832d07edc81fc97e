// What Windows reads from the binaries as they ship (the stripped copies in
// the package's folder, named by UW_PACKAGE_DIR) without running them: each
// program's application manifest, resource 1 of type RT_MANIFEST, and every
// binary's version resource, which must carry the build's version.

#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include <tinyxml.h>

#include "BuildVersion.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

constexpr char kAssemblyV1[] = "urn:schemas-microsoft-com:asm.v1";
constexpr char kAssemblyV3[] = "urn:schemas-microsoft-com:asm.v3";
constexpr char kCompatibilityV1[] = "urn:schemas-microsoft-com:compatibility.v1";
constexpr char kSettings2016[] = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";
constexpr char kSettings2017[] = "http://schemas.microsoft.com/SMI/2017/WindowsSettings";
constexpr wchar_t kProductName[] = L"文件黑白名单管理工具";
#ifdef _WIN64
constexpr char kArchitecture[] = "amd64";
#else
constexpr char kArchitecture[] = "x86";
#endif

// The package's folder, with a trailing backslash.
std::wstring PackageFolder() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"UW_PACKAGE_DIR", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    wchar_t full[MAX_PATH] = {};
    if (GetFullPathNameW(value, MAX_PATH, full, nullptr) == 0)
        return L"";
    std::wstring folder = full;
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::wstring Shipped(const std::wstring& name) {
    return PackageFolder() + name;
}

// A binary mapped for its resources only: nothing of it runs.
class ResourceImage {
public:
    explicit ResourceImage(const std::wstring& path)
        : m_module(LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ResourceImage() {
        if (m_module)
            FreeLibrary(m_module);
    }
    ResourceImage(const ResourceImage&) = delete;
    ResourceImage& operator=(const ResourceImage&) = delete;
    HMODULE Get() const { return m_module; }

private:
    HMODULE m_module;
};

// The text of resource 1 of type RT_MANIFEST; empty when there is none.
std::string ManifestText(const std::wstring& path) {
    ResourceImage image(path);
    if (!image.Get())
        return "";
    HRSRC found = FindResourceW(image.Get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    HGLOBAL loaded = found ? LoadResource(image.Get(), found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return "";
    return std::string(static_cast<const char*>(data), SizeofResource(image.Get(), found));
}

std::string LocalName(const TiXmlElement& element) {
    const std::string name = element.ValueStr();
    const size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

// The namespace an element is in: the nearest declaration of its prefix (or
// of the default namespace) on it or its ancestors.
std::string NamespaceOf(const TiXmlElement& element) {
    const std::string name = element.ValueStr();
    const size_t colon = name.find(':');
    const std::string attribute =
        colon == std::string::npos ? "xmlns" : "xmlns:" + name.substr(0, colon);
    for (const TiXmlNode* node = &element; node; node = node->Parent()) {
        const TiXmlElement* scope = node->ToElement();
        if (!scope)
            break;
        if (const char* uri = scope->Attribute(attribute.c_str()))
            return uri;
    }
    return "";
}

bool Is(const TiXmlElement& element, const char* ns, const char* local) {
    return LocalName(element) == local && NamespaceOf(element) == ns;
}

std::vector<const TiXmlElement*> Children(const TiXmlElement* parent, const char* ns,
                                          const char* local) {
    std::vector<const TiXmlElement*> found;
    if (!parent)
        return found;
    for (const TiXmlElement* child = parent->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        if (Is(*child, ns, local))
            found.push_back(child);
    }
    return found;
}

// The only child of that name, or null when there is none or more than one.
const TiXmlElement* Only(const TiXmlElement* parent, const char* ns, const char* local) {
    const std::vector<const TiXmlElement*> found = Children(parent, ns, local);
    return found.size() == 1 ? found.front() : nullptr;
}

// The only element at the end of a path of child names, all in one namespace.
const TiXmlElement* Path(const TiXmlElement* from, const char* ns,
                         std::initializer_list<const char*> names) {
    for (const char* name : names)
        from = Only(from, ns, name);
    return from;
}

std::string AttributeOf(const TiXmlElement* element, const char* name) {
    const char* value = element ? element->Attribute(name) : nullptr;
    return value ? value : "<none>";
}

std::string TextOf(const TiXmlElement* element) {
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "<none>";
}

void CollectLocalNames(const TiXmlElement& element, std::set<std::string>& names) {
    names.insert(LocalName(element));
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement())
        CollectLocalNames(*child, names);
}

struct ProgramCase {
    const wchar_t* file;
    const char* name;
    const char* level;
};

class ProgramManifest : public testing::TestWithParam<ProgramCase> {
protected:
    void SetUp() override {
        ASSERT_FALSE(PackageFolder().empty()) << "UW_PACKAGE_DIR names no folder";
        const std::string text = ManifestText(Shipped(GetParam().file));
        ASSERT_FALSE(text.empty())
            << "no RT_MANIFEST resource 1 in " << testing::PrintToString(Shipped(GetParam().file));
        m_document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
        ASSERT_FALSE(m_document.Error()) << m_document.ErrorDesc() << "\n" << text;
        m_root = m_document.RootElement();
        ASSERT_TRUE(m_root && Is(*m_root, kAssemblyV1, "assembly")) << text;
    }

    TiXmlDocument m_document;
    const TiXmlElement* m_root = nullptr;
};

TEST_P(ProgramManifest, NamesTheProgramAndAsksForItsExecutionLevel) {
    EXPECT_EQ("1.0", AttributeOf(m_root, "manifestVersion"));
    const TiXmlElement* identity = Only(m_root, kAssemblyV1, "assemblyIdentity");
    ASSERT_NE(nullptr, identity);
    EXPECT_EQ("win32", AttributeOf(identity, "type"));
    EXPECT_EQ(std::string("UserWarden.") + GetParam().name, AttributeOf(identity, "name"));
    EXPECT_EQ(kBuildVersionTextA, AttributeOf(identity, "version"));
    EXPECT_EQ(kArchitecture, AttributeOf(identity, "processorArchitecture"));

    const TiXmlElement* level =
        Path(m_root, kAssemblyV3,
             {"trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel"});
    ASSERT_NE(nullptr, level) << "no single trustInfo/.../requestedExecutionLevel";
    EXPECT_EQ(GetParam().level, AttributeOf(level, "level"));
    EXPECT_EQ("false", AttributeOf(level, "uiAccess"));
}

TEST_P(ProgramManifest, SupportsWindows7To11) {
    const TiXmlElement* application =
        Path(m_root, kCompatibilityV1, {"compatibility", "application"});
    ASSERT_NE(nullptr, application);
    std::multiset<std::string> ids;
    for (const TiXmlElement* os : Children(application, kCompatibilityV1, "supportedOS"))
        ids.insert(AttributeOf(os, "Id"));
    const std::multiset<std::string> expected = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
    };
    EXPECT_EQ(expected, ids);
}

TEST_P(ProgramManifest, DependsOnCommonControls6) {
    const TiXmlElement* identity =
        Path(m_root, kAssemblyV1, {"dependency", "dependentAssembly", "assemblyIdentity"});
    ASSERT_NE(nullptr, identity);
    EXPECT_EQ("win32", AttributeOf(identity, "type"));
    EXPECT_EQ("Microsoft.Windows.Common-Controls", AttributeOf(identity, "name"));
    EXPECT_EQ("6.0.0.0", AttributeOf(identity, "version"));
    EXPECT_EQ("*", AttributeOf(identity, "processorArchitecture"));
    EXPECT_EQ("6595b64144ccf1df", AttributeOf(identity, "publicKeyToken"));
    EXPECT_EQ("*", AttributeOf(identity, "language"));
}

// Fixed-pixel skins: Windows stretches the windows, GDI scaling keeps their
// text crisp, and a DPI declaration would make them tiny. Stored paths are in
// the system code page, so no UTF-8 code page either.
TEST_P(ProgramManifest, ScalesGdiAndTakesLongPathsWithoutDpiAwarenessOrUtf8) {
    const TiXmlElement* settings = Path(m_root, kAssemblyV3, {"application", "windowsSettings"});
    ASSERT_NE(nullptr, settings);
    EXPECT_EQ("true", TextOf(Only(settings, kSettings2017, "gdiScaling")));
    EXPECT_EQ("true", TextOf(Only(settings, kSettings2016, "longPathAware")));

    std::set<std::string> names;
    CollectLocalNames(*m_root, names);
    for (const char* absent : {"dpiAware", "dpiAwareness", "activeCodePage"})
        EXPECT_EQ(0u, names.count(absent)) << absent;
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, ProgramManifest,
    testing::Values(ProgramCase{L"userwarden.exe", "userwarden", "requireAdministrator"},
                    ProgramCase{L"userlistctl.exe", "userlistctl", "asInvoker"}),
    [](const testing::TestParamInfo<ProgramCase>& test) { return std::string(test.param.name); });

struct BinaryCase {
    const wchar_t* file;
    const wchar_t* internalName;
    DWORD fileType;
};

class BinaryVersion : public testing::TestWithParam<BinaryCase> {
protected:
    void SetUp() override {
        ASSERT_FALSE(PackageFolder().empty()) << "UW_PACKAGE_DIR names no folder";
        const std::wstring path = Shipped(GetParam().file);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_NE(0u, size) << "no VERSIONINFO in " << testing::PrintToString(path) << ", error "
                            << GetLastError();
        m_block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, m_block.data()));
    }

    // A string of the block that the version resource's translation names.
    std::wstring String(const wchar_t* name) {
        struct Translation {
            WORD language;
            WORD codePage;
        };
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(m_block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
            length < sizeof(Translation))
            return L"<no translation>";
        const Translation* first = static_cast<const Translation*>(value);
        wchar_t key[64];
        swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\%ls", first->language, first->codePage,
                 name);
        if (!VerQueryValueW(m_block.data(), key, &value, &length) || length == 0)
            return L"<none>";
        return static_cast<const wchar_t*>(value);
    }

    std::vector<BYTE> m_block;
};

std::wstring VersionText(DWORD high, DWORD low) {
    wchar_t text[64];
    swprintf(text, 64, L"%u.%u.%u.%u", unsigned{HIWORD(high)}, unsigned{LOWORD(high)},
             unsigned{HIWORD(low)}, unsigned{LOWORD(low)});
    return text;
}

TEST_P(BinaryVersion, TheFixedVersionsAreTheBuildVersion) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(m_block.data(), L"\\", &value, &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(kBuildVersionText, VersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
    EXPECT_EQ(kBuildVersionText, VersionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
    EXPECT_EQ(GetParam().fileType, fixed->dwFileType);
}

TEST_P(BinaryVersion, TheStringsOfItsTranslationNameItAndTheBuildVersion) {
    EXPECT_EQ(kBuildVersionText, String(L"FileVersion"));
    EXPECT_EQ(kBuildVersionText, String(L"ProductVersion"));
    EXPECT_EQ(GetParam().file, String(L"OriginalFilename"));
    EXPECT_EQ(GetParam().internalName, String(L"InternalName"));
    EXPECT_EQ(kProductName, String(L"ProductName"));
    const std::wstring description = String(L"FileDescription");
    EXPECT_NE(L"<none>", description);
    EXPECT_NE(L"", description);
}

INSTANTIATE_TEST_SUITE_P(Shipped, BinaryVersion,
                         testing::Values(BinaryCase{L"userwarden.exe", L"userwarden", VFT_APP},
                                         BinaryCase{L"userlistctl.exe", L"userlistctl", VFT_APP},
                                         BinaryCase{L"vmrdetect.dll", L"vmrdetect", VFT_DLL},
                                         BinaryCase{L"qdump.dll", L"qdump", VFT_DLL}),
                         [](const testing::TestParamInfo<BinaryCase>& test) {
                             const std::wstring name = test.param.internalName;
                             return std::string(name.begin(), name.end());
                         });

TEST(PackageReadme, StatesTheBuildVersion) {
    ASSERT_FALSE(PackageFolder().empty()) << "UW_PACKAGE_DIR names no folder";
    const std::string readme = testsupport::ReadFileBytes(Shipped(L"README.txt"));
    ASSERT_FALSE(readme.empty());
    EXPECT_NE(std::string::npos, readme.find(std::string("Version ") + kBuildVersionTextA + "\r\n"))
        << readme.substr(0, 200);
}

} // namespace
