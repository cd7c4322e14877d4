#include "gui/Application.h"

#include "support/Exceptions.h"

#include <cstdio>

namespace ut::gui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

Application* Application::Instance() {
    return qobject_cast<Application*>(QCoreApplication::instance());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(std::runtime_error("Unknown exception"));
    }
    return false;
}

Application::ExceptionHandler Application::SetExceptionHandler(ExceptionHandler handler) {
    std::swap(FHandler, handler);
    return handler;
}

void Application::HandleException(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e))
        return;
    try {
        if (FHandler)
            FHandler(e);
        else
            std::fprintf(stderr, "unitrace: %s\n", e.what());
    } catch (...) {
    }
}

void HandleFailure(const std::exception& e) {
    if (auto* app = Application::Instance())
        app->HandleException(e);
    else if (!dynamic_cast<const EAbort*>(&e))
        std::fprintf(stderr, "unitrace: %s\n", e.what());
}

void Application::SetTitle(const QString& title) {
    if (title == FTitle)
        return;
    FTitle = title;
    emit TitleChanged(title);
}

} // namespace ut::gui
