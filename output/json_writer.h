#pragma once
// A small JSON writer for the --json output of the command line and the Python module's dicts:
// objects, arrays, strings and numbers at full precision (shortest text that reads back to the same
// value).

#include <string>
#include <string_view>

namespace lamivex::output {

class JsonWriter {
  public:
    void beginObject();
    void endObject();
    void beginArray(std::string_view key = {});
    void endArray();
    void beginObject(std::string_view key);
    void number(std::string_view key, double value);
    void number(std::string_view key, float value);
    void integer(std::string_view key, long long value);
    void string(std::string_view key, std::string_view value);
    void boolean(std::string_view key, bool value);
    void null(std::string_view key);

    [[nodiscard]] const std::string& text() const { return m_text; }

  private:
    void separate(std::string_view key);

    std::string m_text;
    bool m_needComma = false;
};

[[nodiscard]] std::string jsonQuoted(std::string_view text);

}  // namespace lamivex::output
