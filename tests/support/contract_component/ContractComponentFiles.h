#pragma once
// The files of the contract-only component double (contract_component.dll):
// its lists and the calls it was asked to make, for the tests to read.

#include <windows.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

inline constexpr wchar_t kContractComponentStateVariable[] = L"CONTRACT_COMPONENT_STATE";
inline constexpr wchar_t kContractComponentName[] = L"contract_component.dll";

// MD5 -> 'T' or 'B', as the component holds them.
inline std::map<std::string, char> ReadContractLists(const std::wstring& statePath) {
    std::map<std::string, char> lists;
    std::ifstream in(statePath.c_str(), std::ios::binary);
    char list;
    std::string md5;
    while (in >> list >> md5)
        lists[md5] = list;
    return lists;
}

// Each call of its signature list, "<operation>[ <md5>]", in order.
inline std::vector<std::string> ReadContractCalls(const std::wstring& statePath) {
    std::vector<std::string> calls;
    std::ifstream in((statePath + L".calls").c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        calls.push_back(line);
    return calls;
}
