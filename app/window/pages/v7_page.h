// The V7 Module page: a V7 module's serial number or ID, a new ID by serial
// number, and the card types it reads.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class V7Page;
}

namespace kt {

struct CardTypeResult;
struct WindowSession;

class V7Page : public QWidget {
    Q_OBJECT
public:
    explicit V7Page(QWidget* parent = nullptr);
    ~V7Page() override;

    void attach(WindowSession& session);
    void retranslate();
    QList<QWidget*> deviceButtons() const;

private:
    void btnV7SnIdClick();
    void btnV7SetIdClick();
    void btnV7SetCardTypeClick();
    void btnV7GetCardTypeClick();
    void showCardType(const CardTypeResult& result);

    std::unique_ptr<Ui::V7Page> ui;
    WindowSession* session_ = nullptr;
};

}  // namespace kt
