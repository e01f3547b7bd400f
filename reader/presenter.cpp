// presenter.cpp - the self-test's presenter: a message box unless replaced.
#include "reader/presenter.h"

#include "platform/message_box.h"

namespace {
BexPresenter g_presenter = nullptr;
}  // namespace

void SetBexPresenter(BexPresenter presenter) { g_presenter = presenter; }

void PresentBexText(const char *caption, const char *text) {
  if (g_presenter != nullptr) {
    g_presenter(caption, text);
  } else {
    SalShowMessageBox(caption, text);
  }
}
