// The player's manual, Readme.html, that the instructions page opens.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

TEST(Manual, IsWellFormedFrenchHtmlNamingEveryKeyAndHowALevelComesIntoPlay) {
  const std::string html = ReadFile(AssetsDir() + "/Readme.html");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  // xmllint (libxml2-utils) prints nothing for a well-formed page.
  FILE* lint = popen(("xmllint --html --noout '" + AssetsDir() + "/Readme.html' 2>&1").c_str(),
                     "r");
  ASSERT_NE(lint, nullptr);
  std::string said;
  char buffer[512];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, lint)) said.append(buffer, n);
  EXPECT_EQ(pclose(lint), 0) << "is xmllint installed?";
  EXPECT_EQ(said, "");
  std::vector<std::string> parts = {
      "<meta charset=\"utf-8\">", "<html lang=\"fr\">", "<kbd>Shift</kbd> droit",
      "<kbd>Shift</kbd> gauche", "<kbd>Ctrl</kbd> gauche", "<kbd>Retour arri\xC3\xA8re</kbd>",
      "<kbd>Entr\xC3\xA9"
      "e</kbd>",
      "<code>Niveaux/Niveau_.txt</code>", "<code>Niveaux/Niveau_n.txt</code>", "renomme",
      "<code>glouto-editeur N</code>", "<code>glouto --niveau N</code>", "Comic Neue",
      // In the browser, the page's buttons do what renaming and glouto-niveau do.
      "Mettre en jeu", "Charger un niveau",
      "T\xC3\xA9l\xC3\xA9"
      "charger",
      "?niveau=N", "Enregistrer"};
  std::istringstream keys(
      "\xE2\x86\x90 \xE2\x86\x91 \xE2\x86\x92 \xE2\x86\x93 p ; Echap Espace F1 F2 = 6 w a z q s d "
      "g t v F5");
  for (std::string key; keys >> key;) parts.push_back("<kbd>" + key + "</kbd>");
  for (const std::string& part : parts) EXPECT_NE(html.find(part), std::string::npos) << part;
}
