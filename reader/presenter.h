// presenter.h - where the self-test shows its pairs.
#ifndef VBS_READER_PRESENTER_H
#define VBS_READER_PRESENTER_H

/// Shows one line of the self-test, caption "Test".
using BexPresenter = void (*)(const char *caption, const char *text);

/// Routes the self-test's lines to presenter (null restores the message box).
void SetBexPresenter(BexPresenter presenter);

/// Shows text through the current presenter.
void PresentBexText(const char *caption, const char *text);

#endif  // VBS_READER_PRESENTER_H
