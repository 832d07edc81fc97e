#include "ui/core/CTwObject.h"

#include <cstring>

#include "ui/core/TwXml.h"

bool CTwObject::MatchesTag(const char* tag) const {
    return tag && std::strcmp(tag, TagName()) == 0;
}

int CTwObject::LoadFromXml(const TiXmlElement* element) {
    if (element) {
        for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
             attribute = attribute->Next())
            ApplyAttribute(attribute->Name(), attribute->Value(), true);
    }
    AfterAttributes();
    return 1;
}

long CTwObject::ApplyAttribute(const char*, const char*, bool) {
    return kAttributeUnknown;
}
