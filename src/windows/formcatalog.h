#pragma once

#include "app/formregistry.h"

// How each of the program's five windows is built from its design.
FormRegistry::Factories formCatalog();
