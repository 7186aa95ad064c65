#include "app/tform1.h"

namespace lexanta {

void TForm1::connectLanguage() {}

} // namespace lexanta
