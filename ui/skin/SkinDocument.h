#pragma once
// The skins document read as far as it is plain data, with no platform
// header: which definitions the registry takes (root "skins", each child a
// skin whose tag names its kind and whose "name" attribute is its key, the
// first definition of a name winning, also across copies) and the kinds'
// tags in the factory's fixed order. The registry (ui/skin/TwSkinRegistry.h)
// makes a skin of the kind for each definition and loads its attributes.

#include <functional>
#include <string>
#include <vector>

class TiXmlElement;

inline constexpr const char* kSkinKindTags[] = {
    "imglst", "imgframe", "button", "imghorzex", "gradation", "png", "jpg", "skinpng", "skinjpg"};
inline constexpr int kSkinKindCount = sizeof kSkinKindTags / sizeof kSkinKindTags[0];

// The kind a tag names (an index in kSkinKindTags, exact case); -1 for none.
int SkinKindOf(const char* tag);

// Calls `visit` with the kind, the name and the element of each definition,
// in document order, the first of each name only. `taken` says whether a
// name is already held from before (it is then skipped too). False when no
// copy parsed.
using SkinDefinitionVisit =
    std::function<void(int kind, const std::string& name, const TiXmlElement& element)>;
bool ReadSkinDefinitions(const std::vector<std::string>& copies,
                         const std::function<bool(const std::string& name)>& taken,
                         const SkinDefinitionVisit& visit);
