#pragma once

#include <QObject>

namespace penmorph {

// While a folder walk or a conversion runs on the window's thread, the window keeps painting
// but takes no input: a click on "変換" or a second folder choice in the middle of a walk would
// start the same work again inside it. Escape is the one key that counts: it asks the walk to
// stop.
class BusyScope : public QObject {
 public:
  BusyScope();
  ~BusyScope() override;
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

  // Lets pending events through (painting, and key presses into this scope) and tells whether
  // Escape has been pressed since the scope began.
  bool EscapePressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool escape_ = false;
};

}  // namespace penmorph
