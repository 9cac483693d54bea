// The process entry: parse the command line, build the application, run it, return its result.
#include <cstdio>
#include <memory>
#include <string>

#include "engine/GameApp.h"
#include "engine/LaunchOptions.h"
#include "game/Game.h"
#include "platform/Diagnostics.h"

int main(int argc, char** argv) {
  quarn::LaunchOptions options;
  std::string error;
  switch (quarn::ParseLaunchOptions(argc, argv, &options, &error)) {
    case quarn::LaunchAction::Help:
      std::fputs(quarn::UsageText().c_str(), stdout);
      return 0;
    case quarn::LaunchAction::Version:
      std::fputs(quarn::VersionText().c_str(), stdout);
      return 0;
    case quarn::LaunchAction::UsageError:
      quarn::platform::ReportError(error);
      std::fputs(quarn::UsageText().c_str(), stderr);
      return 2;
    case quarn::LaunchAction::Run:
      break;
  }
  quarn::GameAppServices services;
  services.makeGame = [&options] { return std::make_unique<quarn::Game>("", options); };
  quarn::GameApp app(std::move(services));
  return app.Execute(options);
}
