#pragma once
// The program's UI documents loaded as start-up loads them: common
// controls, the image pools emptied, colours (level 1), skins, styles, then
// strings. True when the skins, styles and strings were all found.

bool LoadProgramUiDocuments();
