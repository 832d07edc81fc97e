#pragma once
// The resource reload that start-up runs once before any window: the colour
// level of the skin manager, the image pools emptied, then the colour, skin
// and style documents of the program's resources.

// The result of loading the style document.
bool ReloadUiResources();
