// The player's manual, Readme.html, that the instructions page opens.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/test_support.h"

namespace {

std::string Manual() { return ReadFile(AssetsDir() + "/Readme.html"); }

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Runs a shell command; returns its exit status and, in `output`, what it printed.
int RunCommand(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[512];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output->append(buffer, n);
  return pclose(pipe);
}

}  // namespace

TEST(Manual, IsWellFormedHtml) {
  std::string found;
  if (RunCommand("command -v xmllint", &found) != 0)
    GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
  std::string output;
  const int status = RunCommand("xmllint --html --noout '" + AssetsDir() + "/Readme.html'",
                                &output);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(output, "");
}

TEST(Manual, DeclaresItsCharacterSetAndLanguage) {
  const std::string html = Manual();
  ASSERT_FALSE(html.empty());
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_TRUE(Contains(html, "<meta charset=\"utf-8\">"));
  EXPECT_TRUE(Contains(html, "<html lang=\"fr\">"));
}

TEST(Manual, NamesEveryKeyOfTheGame) {
  const std::string html = Manual();
  const char* keys[] = {"<kbd>\xE2\x86\x90</kbd>",
                        "<kbd>\xE2\x86\x91</kbd>",
                        "<kbd>\xE2\x86\x92</kbd>",
                        "<kbd>\xE2\x86\x93</kbd>",
                        "<kbd>Entr\xC3\xA9"
                        "e</kbd>",
                        "<kbd>p</kbd>",
                        "<kbd>;</kbd>",
                        "<kbd>Echap</kbd>",
                        "<kbd>Espace</kbd>",
                        "<kbd>F1</kbd>",
                        "<kbd>F2</kbd>",
                        "<kbd>=</kbd>",
                        "<kbd>6</kbd>",
                        "<kbd>w</kbd>",
                        "<kbd>a</kbd>",
                        "<kbd>z</kbd>",
                        "<kbd>q</kbd>",
                        "<kbd>s</kbd>",
                        "<kbd>d</kbd>",
                        "<kbd>g</kbd>",
                        "<kbd>t</kbd>",
                        "<kbd>v</kbd>",
                        "<kbd>F5</kbd>",
                        "<kbd>Shift</kbd> droit",
                        "<kbd>Shift</kbd> gauche",
                        "<kbd>Ctrl</kbd> gauche",
                        "<kbd>Retour arri\xC3\xA8re</kbd>"};
  for (const char* key : keys) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(Contains(html, key));
  }
}

TEST(Manual, TellsHowASavedLevelComesIntoPlay) {
  const std::string html = Manual();
  EXPECT_TRUE(Contains(html, "<code>Niveaux/Niveau_.txt</code>"));
  EXPECT_TRUE(Contains(html, "<code>Niveaux/Niveau_n.txt</code>"));
  EXPECT_TRUE(Contains(html, "renomme"));
  EXPECT_TRUE(Contains(html, "<code>glouto-editeur N</code>"));
  EXPECT_TRUE(Contains(html, "<code>glouto --niveau N</code>"));
  EXPECT_TRUE(Contains(html, "Comic Neue"));
  // In the browser, the page's buttons do what renaming and glouto-niveau do.
  for (const char* way :
       {"Mettre en jeu", "Charger un niveau", "Télécharger", "?niveau=N", "Enregistrer"}) {
    EXPECT_TRUE(Contains(html, way)) << way;
  }
}
