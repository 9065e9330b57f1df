#include "app/code_labels.h"

#include "app/window_texts.h"

namespace penmorph::app {

std::string ColorText(preview::CodeFamily family, int code) {
  return preview::IsOwnColorCode(family, code) ? std::string(texts::kOwnColorLabel)
                                               : preview::ColorLabel(family, code);
}

}  // namespace penmorph::app
