#pragma once
// The style, colour and string documents read into plain records, with no
// platform header: each copy of a document is parsed on its own (an
// unparsable copy is left out), copies are read in order, and where a name
// or an id is defined twice the first definition wins, across copies too.
// The tables of ui/engine/TwStyleTables.h are filled from these records.

#include <string>
#include <utility>
#include <vector>

#include "ui/engine/TwStyleRecord.h"

// The "class" children of documents with root "style", attributes applied
// in document order.
std::vector<TwStyleRecord> ReadStyleClasses(const std::vector<std::string>& copies);

struct TwColorSetRecord {
    std::string name;
    TwColorValues colors;
};
// The "color" children of the "level" sections whose level attribute reads
// as `level`, in documents with root "colors".
std::vector<TwColorSetRecord> ReadColorSets(const std::vector<std::string>& copies, int level);

// The "s" children with an id of documents with root "string": id and text
// (UTF-8, empty when the element has none).
std::vector<std::pair<int, std::string>> ReadStrings(const std::vector<std::string>& copies);
