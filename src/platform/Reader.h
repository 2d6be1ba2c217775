// Reads a board definition: a text tree of components with their stored property values.
//
//   object Name: TClassName
//     Property = value        (integer, 'string', Identifier, [set, items], ( 'list' 'of' 'strings' ),
//                              or picture data: TGraphicKind('file name next to the definition'))
//
// Integers may be negative or hexadecimal ($8000000F, a 32-bit pattern); in strings '' is a quote,
// #13 a character by its Unicode code and + joins pieces, also across lines.
//     object Child: TChildClass ... end
//   end
//
// Components are created by class name with the root as owner, put under their parent and given
// their values in stored order; references and event wirings are resolved by name afterwards.
#pragma once

#include "Component.h"

#include <functional>
#include <string>

// An error in a board definition, naming the file and line.
class EReadError : public Exception {
public:
    EReadError(const std::string& fileName, int line, const std::string& message);
    int Line() const { return FLine; }

private:
    int FLine;
};

class DefinitionReader {
public:
    // Loads the bytes of a file that a definition names; the default reads next to the definition.
    using FileLoader = std::function<std::vector<uint8_t>(const std::string& name)>;

    DefinitionReader(std::string text, std::string fileName, FileLoader loader = {});
    // Reads the definition into root, whose class must be the one the definition's root names.
    void ReadInto(TComponent* root);

    // Reads a whole file (a path or a Qt resource path such as ":/TMainForm.board").
    static std::string ReadTextFile(const std::string& path);

private:
    std::string FText;
    std::string FFileName;
    FileLoader FLoader;
};
