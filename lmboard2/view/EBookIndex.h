// The e-book index ("ebook.txt"): books of levels of entries, read line by line; and the
// selection the host's four combo boxes make in it (book title, level, step, page).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct S_EBOOK_ENTRY
{
    std::u16string label;
    std::u16string file;
    int nValue = 0; // the step's page count
};

struct S_BOOK
{
    std::u16string name;
    std::u16string title;
    std::vector<std::vector<S_EBOOK_ENTRY>> levels; // level n is levels[n - 1]
};

// Reads the index's lines: "[name]" opens a book, "title=" (any case) names the books made
// after it, "level[:label]/file/value" adds an entry. Blank lines and ";" comments are
// skipped; an entry outside a book, with a level below 1 or more than one past the last, or
// with fewer than two '/' is dropped.
class CEBookIndex
{
public:
    void AddLine(std::u16string_view line);
    const std::vector<S_BOOK>& Books() const { return m_books; }

private:
    std::vector<S_BOOK> m_books;
    std::u16string m_strOpen; // the open book's name
    bool m_bOpen = false;
    std::u16string m_strTitle;
};

// AddEbook(kind, 1, text): what a combo box is filled with.
struct EBookComboLine
{
    int nKind = 0;
    std::u16string text;
};

// The current selection in the index.
class CEBookSelection
{
public:
    explicit CEBookSelection(const std::vector<S_BOOK>& books) : m_books(books) {}
    // Nothing selected (the books were read again).
    void Reset()
    {
        m_strTitle.clear();
        m_strBook.clear();
        m_nLevel = m_nStep = m_nPage = 0;
    }

    // Kind 0: the book of that title (any case) becomes current; when it changed, the lower
    // selections are cleared and the level combo is filled.
    std::vector<EBookComboLine> SelectTitle(std::u16string_view title);
    // Kind 1 (index from 0): the step combo for the level; an index outside the book is ignored.
    std::vector<EBookComboLine> SelectLevel(int nIndex);
    // Kind 2 (index from 0): the page combo, "page 1" up to the step's value.
    std::vector<EBookComboLine> SelectStep(int nIndex);
    // Kind 3: the page number of a page text ("page 3", "p 3", "3": leading letters of "page" and
    // blanks are skipped); nothing when it is not above 0.
    static std::optional<int> PageOfText(std::u16string_view text);

    const std::u16string& Title() const { return m_strTitle; }
    int Level() const { return m_nLevel; }
    int Step() const { return m_nStep; }
    int Page() const { return m_nPage; }
    void SetPage(int nPage) { m_nPage = nPage; }
    // The book shown under a title: its name, or the title when no book has it.
    const S_BOOK* CurrentBook() const;

private:
    const std::vector<S_BOOK>& m_books;
    std::u16string m_strTitle;
    std::u16string m_strBook;
    int m_nLevel = 0;
    int m_nStep = 0;
    int m_nPage = 0;
};
