// The Command page: a command typed for the controller, and one for a module
// behind it, each sent with its reply shown.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class CommandPage;
}

namespace kt {

struct WindowSession;

class CommandPage : public QWidget {
    Q_OBJECT
public:
    explicit CommandPage(QWidget* parent = nullptr);
    ~CommandPage() override;

    void attach(WindowSession& session);
    void retranslate();
    QList<QWidget*> deviceButtons() const;

private:
    void btnCommandClick();
    void btnModuleCommandClick();

    std::unique_ptr<Ui::CommandPage> ui;
    WindowSession* session_ = nullptr;
};

}  // namespace kt
