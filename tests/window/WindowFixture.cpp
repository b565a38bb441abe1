#include "window/WindowFixture.h"

#include <QAbstractButton>
#include <QLineEdit>

WindowTest::WindowTest()
{
    environment.appName = "ardeno-recorder";
    environment.settingsPath = PathIn("ardeno-recorder.ini");
    environment.homePageUrl = "file:///guide.html";
}

WindowTest::~WindowTest() = default;

void WindowTest::Create()
{
    auto fakePlayer = std::make_unique<FakePlayer>();
    auto fakeRecorder = std::make_unique<FakeRecorder>();
    player = fakePlayer.get();
    recorder = fakeRecorder.get();
    dlg = std::make_unique<CRecorderDlg>(std::move(fakeRecorder), std::move(fakePlayer), prompts, environment);
}

void WindowTest::Start()
{
    Create();
    dlg->OnInitDialog();
    dlg->show();
}

QAbstractButton* WindowTest::Button(int id) const
{
    return qobject_cast<QAbstractButton*>(dlg->Control(id));
}

QLineEdit* WindowTest::Edit(int id) const
{
    return qobject_cast<QLineEdit*>(dlg->Control(id));
}

std::string WindowTest::BoxText(int id) const
{
    return Edit(id)->text().toStdString();
}

void WindowTest::Click(int id)
{
    Button(id)->click();
}

std::string WindowTest::PathIn(const std::string& name) const
{
    return dir.filePath(QString::fromStdString(name)).toStdString();
}
