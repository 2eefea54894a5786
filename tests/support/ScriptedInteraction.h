#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/Interaction.h"

// Test double of the interaction interface: records every box and question and answers from
// queues. An empty queue answers No (yes/no), Cancel (yes/no/cancel) or nothing (file dialogs).
class ScriptedInteraction : public Interaction {
 public:
  struct Shown {
    std::string kind;  // "message", "yesno", "yesnocancel", "open", "save"
    std::string title;
    std::string text;
    Icon icon = Icon::Information;
  };

  std::vector<Shown> shown;
  std::deque<Answer> answers;
  std::deque<std::vector<std::string>> openAnswers;
  std::deque<std::string> saveAnswers;

  void ShowMessage(const std::string& title, const std::string& text, Icon icon) override {
    shown.push_back({"message", title, text, icon});
  }
  Answer AskYesNo(const std::string& title, const std::string& text) override {
    shown.push_back({"yesno", title, text, Icon::Information});
    return Next(answers, Answer::No);
  }
  Answer AskYesNoCancel(const std::string& title, const std::string& text) override {
    shown.push_back({"yesnocancel", title, text, Icon::Information});
    return Next(answers, Answer::Cancel);
  }
  std::vector<std::string> AskOpenFiles(const FileDialog& dialog, bool) override {
    shown.push_back({"open", dialog.title, dialog.filter, Icon::Information});
    return Next(openAnswers, std::vector<std::string>{});
  }
  std::string AskSaveFile(const FileDialog& dialog) override {
    shown.push_back({"save", dialog.title, dialog.filter, Icon::Information});
    return Next(saveAnswers, std::string{});
  }

  // The texts of all boxes shown so far, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& s : shown) texts.push_back(s.text);
    return texts;
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
  }
};
