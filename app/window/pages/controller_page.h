// The Controller page: read a controller's ID and serial number, find the ID
// of a serial number, give the controller of a serial number a new ID.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class ControllerPage;
}

namespace kt {

struct WindowSession;

class ControllerPage : public QWidget {
    Q_OBJECT
public:
    explicit ControllerPage(QWidget* parent = nullptr);
    ~ControllerPage() override;

    void attach(WindowSession& session);
    void retranslate();
    QList<QWidget*> deviceButtons() const;

private:
    void btnGetCtrlIDClick();
    void btnSetCtrlBySNClick();

    std::unique_ptr<Ui::ControllerPage> ui;
    WindowSession* session_ = nullptr;
};

}  // namespace kt
