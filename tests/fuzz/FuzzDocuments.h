#pragma once
// Fuzz input as the copies of a UI document: the bytes are cut at each 0x00
// into up to four copies, as a document may come from several places.

#include <string>
#include <vector>

inline std::vector<std::string> DocumentCopies(const unsigned char* data, std::size_t size) {
    std::vector<std::string> copies(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && copies.size() < 4)
            copies.emplace_back();
        else
            copies.back() += static_cast<char>(data[i]);
    }
    return copies;
}
