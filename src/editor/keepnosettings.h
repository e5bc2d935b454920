#pragma once

// The program keeps nothing between runs, yet Qt's file dialog reads and writes its history,
// last folder and view in the user's configuration folder. This points every settings
// store of the process at a folder that cannot exist, so nothing is written or read back.
void keepNoSettings();
