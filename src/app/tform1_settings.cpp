// Settings files and the recent-file list of the main window.
#include "app/tform1.h"

namespace lexanta {

void TForm1::connectSettings() {}
void TForm1::restoreSettingsOnFirstShow() {}
void TForm1::saveSettingsOnClose() {}
void TForm1::addRecentFile(const QString& path) { (void)path; }

} // namespace lexanta
