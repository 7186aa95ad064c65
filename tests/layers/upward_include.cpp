// Compiled against the core layer's include folder alone (tests/CMakeLists.txt): a header of
// the document, the layer above, must not be found there.
#include "document/document.h"
