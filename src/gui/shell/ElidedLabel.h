// A one-line label whose text, when the room is too small for it, ends in an ellipsis rather
// than being cut off unseen; the whole text is its tooltip. The status bar's deck line says
// more than a narrow window can show.
#pragma once

#include <QLabel>

namespace tovan {

class ElidedLabel : public QLabel {
  public:
    using QLabel::QLabel;
    // The text in full; what is shown is cut to the width with an ellipsis.
    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void fit();
    QString full_;
};

} // namespace tovan
