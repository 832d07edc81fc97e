#pragma once
// The process-wide registry of live elements. Every element is registered
// under a handle (1, 2, 3, ... in order of construction, never reused) and
// every reference between elements, and from a view to its elements, is such
// a handle resolved at the time of use: a destroyed element resolves to null.
// The registry also keeps the named groups of radio buttons and grouped image
// buttons. One recursive lock guards the map and the groups.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/CriticalSection.h"

class CTwWindow;
using TwHandle = std::uint32_t;

class TwElementRegistry {
public:
    static TwElementRegistry& Instance();

    TwHandle Register(CTwWindow* element);
    // Forgets the handle and takes the element out of every group.
    void Unregister(TwHandle handle);
    // Null for 0 and for handles of destroyed elements. The element belongs to
    // the thread of its view; only that thread may use the pointer.
    CTwWindow* Resolve(TwHandle handle);
    std::size_t LiveCount();

    void JoinGroup(const std::string& group, TwHandle member);
    void LeaveGroup(const std::string& group, TwHandle member);
    // The members of a group in order of joining, resolved (live ones only).
    std::vector<CTwWindow*> GroupMembers(const std::string& group);

    // Held across a group operation that must not interleave with another.
    CriticalSection& Lock() { return m_lock; }

    TwElementRegistry(const TwElementRegistry&) = delete;
    TwElementRegistry& operator=(const TwElementRegistry&) = delete;

private:
    TwElementRegistry() = default;

    CriticalSection m_lock;
    TwHandle m_counter = 0;
    std::unordered_map<TwHandle, CTwWindow*> m_elements;
    std::unordered_map<std::string, std::vector<TwHandle>> m_groups;
};

inline CTwWindow* ResolveElement(TwHandle handle) {
    return TwElementRegistry::Instance().Resolve(handle);
}

// An element's membership of one named group, left when it changes or goes.
class TwGroupMembership {
public:
    explicit TwGroupMembership(TwHandle member) : m_member(member) {}
    ~TwGroupMembership() { Set(std::string()); }
    TwGroupMembership(const TwGroupMembership&) = delete;
    TwGroupMembership& operator=(const TwGroupMembership&) = delete;

    // Leaves the current group and joins `group` (none when empty).
    void Set(const std::string& group);
    const std::string& Name() const { return m_group; }
    // The other live members, in order of joining.
    std::vector<CTwWindow*> Others() const;

private:
    TwHandle m_member;
    std::string m_group;
};
