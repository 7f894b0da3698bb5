#include "tests/support/ui_testing.h"

#include <utility>

#include <QApplication>
#include <QLineEdit>
#include <QPoint>
#include <QWheelEvent>

namespace skarn {

MessageBoxRecorder::MessageBoxRecorder() {
    previous_ = setMessageBoxHook([this](const Message& message) {
        shown_.push_back(message);
        if (answers_.empty()) return static_cast<int>(IDOK);
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { setMessageBoxHook(std::move(previous_)); }

void MessageBoxRecorder::setNextAnswer(int answer) { answers_.push_back(answer); }

ModalRecorder::ModalRecorder() {
    previous_ = setModalHook([this](Dialog& dialog) {
        const std::size_t index = shown_.size();
        shown_.push_back({dialog.templateId(), dialog.windowTitle(), 0});
        if (!scripts_.empty()) {
            Script script = std::move(scripts_.front());
            scripts_.pop_front();
            script(dialog);
        }
        if (!dialog.hasEnded()) dialog.reject();  // as if closed: the dialog's own cancel
        if (!dialog.hasEnded()) dialog.endDialog(IDCANCEL);
        shown_[index].result = dialog.modalResult();
    });
}

ModalRecorder::~ModalRecorder() { setModalHook(std::move(previous_)); }

void ModalRecorder::setNextAnswer(Script script) { scripts_.push_back(std::move(script)); }

void ModalRecorder::setNextAnswer(int buttonId) {
    scripts_.push_back([buttonId](Dialog& dialog) { dialog.sendCommand(buttonId); });
}

SaveFileRecorder::SaveFileRecorder() {
    previous_ = setSaveFileHook([this](const SaveFileRequest& request) {
        shown_.push_back(request);
        if (answers_.empty()) return SaveFileChoice{};
        SaveFileChoice answer = answers_.front();
        answers_.pop_front();
        if (answer.type < 0) answer.type = request.selectedType;
        return answer;
    });
}

SaveFileRecorder::~SaveFileRecorder() { setSaveFileHook(std::move(previous_)); }

void SaveFileRecorder::setNextAnswer(const QString& path, int type) { answers_.push_back({path, type}); }

void turnWheel(QWidget& widget, int angle) {
    const QPointF at = QRectF(widget.rect()).center();
    QWheelEvent wheel(at, widget.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &wheel);
}

int firstShownCharacter(QLineEdit& edit) {
    // QLineEdit works out how far its text is scrolled when it paints.
    edit.grab();
    return edit.cursorPositionAt(QPoint(0, edit.height() / 2));
}

}  // namespace skarn
