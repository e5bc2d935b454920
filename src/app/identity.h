#pragma once

// Sets the application's name, organisation and version from the build's one record.
void applyIdentity();
