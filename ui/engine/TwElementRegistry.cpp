#include "ui/engine/TwElementRegistry.h"

#include <algorithm>

TwElementRegistry& TwElementRegistry::Instance() {
    static TwElementRegistry registry;
    return registry;
}

TwHandle TwElementRegistry::Register(CTwWindow* element) {
    ScopedLock lock(m_lock);
    const TwHandle handle = ++m_counter;
    m_elements.emplace(handle, element);
    return handle;
}

void TwElementRegistry::Unregister(TwHandle handle) {
    ScopedLock lock(m_lock);
    m_elements.erase(handle);
}

CTwWindow* TwElementRegistry::Resolve(TwHandle handle) {
    if (handle == 0)
        return nullptr;
    ScopedLock lock(m_lock);
    const auto found = m_elements.find(handle);
    return found == m_elements.end() ? nullptr : found->second;
}

std::size_t TwElementRegistry::LiveCount() {
    ScopedLock lock(m_lock);
    return m_elements.size();
}

void TwElementRegistry::JoinGroup(const std::string& group, TwHandle member) {
    ScopedLock lock(m_lock);
    auto& members = m_groups[group];
    if (std::find(members.begin(), members.end(), member) == members.end())
        members.push_back(member);
}

void TwElementRegistry::LeaveGroup(const std::string& group, TwHandle member) {
    ScopedLock lock(m_lock);
    const auto found = m_groups.find(group);
    if (found == m_groups.end())
        return;
    auto& members = found->second;
    members.erase(std::remove(members.begin(), members.end(), member), members.end());
    if (members.empty())
        m_groups.erase(found);
}

std::vector<CTwWindow*> TwElementRegistry::GroupMembers(const std::string& group) {
    ScopedLock lock(m_lock);
    std::vector<CTwWindow*> live;
    const auto found = m_groups.find(group);
    if (found == m_groups.end())
        return live;
    for (const TwHandle member : found->second) {
        const auto element = m_elements.find(member);
        if (element != m_elements.end())
            live.push_back(element->second);
    }
    return live;
}

void TwGroupMembership::Set(const std::string& group) {
    TwElementRegistry& registry = TwElementRegistry::Instance();
    if (!m_group.empty())
        registry.LeaveGroup(m_group, m_member);
    m_group = group;
    if (!m_group.empty())
        registry.JoinGroup(m_group, m_member);
}

std::vector<CTwWindow*> TwGroupMembership::Others() const {
    std::vector<CTwWindow*> others;
    if (m_group.empty())
        return others;
    const CTwWindow* self = TwElementRegistry::Instance().Resolve(m_member);
    for (CTwWindow* member : TwElementRegistry::Instance().GroupMembers(m_group)) {
        if (member != self)
            others.push_back(member);
    }
    return others;
}
