#pragma once
// The program's UI documents loaded as start-up loads them: common
// controls, the resource reload (image pools emptied, colours, skins,
// styles), then strings. True when skins, styles and strings were found.

bool LoadProgramUiDocuments();
