#include "platform/Message.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/Window.h"

namespace quarn::platform {
namespace {

class RecordingProcedure : public WindowProcedure {
 public:
  intptr_t WindowProc(const Message& message) override {
    seen.push_back(message.message);
    return message.message == kWmClose ? 7 : 0;
  }
  std::vector<uint32_t> seen;
};

TEST(MessageQueueTest, FirstInFirstOutAcrossThreads) {
  auto queue = MessageQueue::Current();
  const ThreadId self = Thread::CurrentId();
  std::thread poster([self] {
    EXPECT_TRUE(MessageQueue::PostToThread(self, Message{nullptr, kWmApp + 1, 0, 0}));
    EXPECT_TRUE(MessageQueue::PostToThread(self, Message{nullptr, kWmApp + 2, 0, 0}));
  });
  poster.join();
  Message message;
  queue->Wait(message);
  EXPECT_EQ(message.message, kWmApp + 1);
  ASSERT_TRUE(queue->Peek(message));
  EXPECT_EQ(message.message, kWmApp + 2);
  EXPECT_FALSE(queue->Peek(message));
  EXPECT_FALSE(MessageQueue::PostToThread(123456, message)) << "no such thread";
}

TEST(WindowTest, DispatchReachesTheProcedureOfALiveWindowOnly) {
  WindowDesc desc;
  desc.backend = WindowBackend::None;
  std::string error;
  auto window = Window::Create(desc, &error);
  ASSERT_NE(window, nullptr) << error;
  RecordingProcedure procedure;
  // Before a procedure is set, messages go to the default procedure.
  EXPECT_EQ(DispatchMessage(Message{window->Handle(), kWmClose, 0, 0}), 0);
  window->SetProcedure(&procedure);
  EXPECT_EQ(DispatchMessage(Message{window->Handle(), kWmClose, 0, 0}), 7);
  EXPECT_EQ(DispatchMessage(Message{window->Handle(), kWmKeyUp, kVkEscape, 0}), 0);
  EXPECT_EQ(procedure.seen, (std::vector<uint32_t>{kWmClose, kWmKeyUp}));
  const WindowHandle stale = window->Handle();
  window.reset();
  EXPECT_EQ(FindWindow(stale), nullptr);
  EXPECT_EQ(DispatchMessage(Message{stale, kWmClose, 0, 0}), 0);
}

}  // namespace
}  // namespace quarn::platform
