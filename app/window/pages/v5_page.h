// The V5 Module page: read a V5 module's serial number by its ID, give the
// module of a serial number a new ID.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class V5Page;
}

namespace kt {

struct WindowSession;

class V5Page : public QWidget {
    Q_OBJECT
public:
    explicit V5Page(QWidget* parent = nullptr);
    ~V5Page() override;

    void attach(WindowSession& session);
    void retranslate();
    QList<QWidget*> deviceButtons() const;

private:
    void btnV5GetSnClick();
    void btnV5SetIdClick();

    std::unique_ptr<Ui::V5Page> ui;
    WindowSession* session_ = nullptr;
};

}  // namespace kt
