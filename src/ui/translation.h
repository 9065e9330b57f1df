#pragma once

class QCoreApplication;

namespace penmorph {

// Qt's own texts (message-box buttons, the file and folder pickers) in Japanese, as the rest of
// the window, whatever the desktop's language. False when the translation is not installed
// (Debian: qt6-translations-l10n); the window then works with Qt's English texts.
bool LoadJapaneseTranslation(QCoreApplication& application);

}  // namespace penmorph
