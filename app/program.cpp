#include "program.h"

#include <QApplication>
#include <chrono>

namespace {

std::uint64_t clockReading()
{
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

}  // namespace

Program::Program()
    : random_(clockReading, static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())),
      cright_([this] { handOver(); })
{
}

Program::~Program()
{
    delete opening_;
}

void Program::start()
{
    opening_ = new screens::QtForm(cright_);
    // Closing the opening window before it hands over ends the program; a
    // tool window does not count as a last window for Qt, so say it here.
    connect(opening_, &screens::QtForm::closed, qApp, [this] {
        if (!main_)
            QApplication::quit();
    });
    opening_->show();
}

void Program::handOver()
{
    form1_ = std::make_unique<game::Form1>(random_);
    main_ = std::make_unique<screens::QtForm>(*form1_);
    connect(main_.get(), &screens::QtForm::closed, qApp, &QApplication::quit);
    main_->show();

    opening_->hide();
    opening_->deleteLater();
    opening_ = nullptr;
}
