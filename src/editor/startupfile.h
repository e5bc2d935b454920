#pragma once

#include "app/steps.h"

#include <QString>

class RichTextBox;

// Opens the file named on the command line: as RTF when its content begins with {\rtf,
// as text otherwise, through the same load as the Open commands.
Steps openStartupFileSteps(RichTextBox &box, const QString &fileName);
