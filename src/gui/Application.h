#pragma once
// The application object: every exception thrown by an event handler ends here instead of
// ending the program. The silent abort (EAbort) stops without a trace; every other failure
// goes to the exception handler the main window installs. It also holds the application
// title, which the window shows while it is minimised.
#include <QApplication>

#include <exception>
#include <functional>
#include <stdexcept>

namespace ut::gui {

class Application : public QApplication {
    Q_OBJECT
  public:
    using ExceptionHandler = std::function<void(const std::exception&)>;

    Application(int& argc, char** argv);

    /// The running application object, or nullptr when the QApplication is another class.
    static Application* Instance();

    bool notify(QObject* receiver, QEvent* event) override;

    /// Installs `handler` and returns the previous one.
    ExceptionHandler SetExceptionHandler(ExceptionHandler handler);
    /// Hands `e` to the handler (EAbort is swallowed); a failure of the handler is ignored.
    void HandleException(const std::exception& e);

    QString Title() const { return FTitle; }
    void SetTitle(const QString& title);

  signals:
    void TitleChanged(const QString& title);

  private:
    ExceptionHandler FHandler;
    QString FTitle;
};

/// Hands `e` to the running Application's exception handler (stderr without one).
void HandleFailure(const std::exception& e);

/// Wraps a handler so that a failure goes to the exception handler at once instead of
/// unwinding through the toolkit's frames, which do not expect it.
template <class F> auto Guarded(F f) {
    return [f = std::move(f)]() {
        try {
            f();
        } catch (const std::exception& e) {
            HandleFailure(e);
        } catch (...) {
            HandleFailure(std::runtime_error("Unknown exception"));
        }
    };
}

} // namespace ut::gui
