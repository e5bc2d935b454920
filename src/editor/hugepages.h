#pragma once

#include <QtGlobal>

// Asks the system to back the whole 2 MB pages inside a buffer of many megabytes that is
// about to be filled with 2 MB pages, where it has them: on a virtual machine, the first
// touch of each 4 kB page of the buffers that opening 50 MB of text fills took a quarter
// of the time. Nothing happens where the system does not do it.
void preferHugePages(void *data, qsizetype size);
