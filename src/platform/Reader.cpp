#include "Reader.h"

#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <limits>
#include <memory>
#include <optional>

EReadError::EReadError(const std::string& fileName, int line, const std::string& message)
    : Exception(fileName + ":" + std::to_string(line) + ": " + message), FLine(line) {}

namespace {

struct Token {
    enum class Kind { Identifier, Integer, Float, String, Symbol, End };
    Kind kind = Kind::End;
    std::string text;
    int64_t integer = 0;
    double floating = 0;
    int line = 1;
};

class Lexer {
public:
    Lexer(const std::string& text, const std::string& fileName) : FText(text), FFileName(fileName) {}

    Token next() {
        skipSpaceAndComments();
        Token token;
        token.line = FLine;
        if (FPos >= FText.size())
            return token;
        char c = FText[FPos];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t start = FPos;
            while (FPos < FText.size() && (std::isalnum(static_cast<unsigned char>(FText[FPos])) ||
                                           FText[FPos] == '_' || FText[FPos] == '.'))
                ++FPos;
            token.kind = Token::Kind::Identifier;
            token.text = FText.substr(start, FPos - start);
            return token;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '$') {
            return number(token);
        }
        if (c == '\'' || c == '#')
            return string(token);
        ++FPos;
        token.kind = Token::Kind::Symbol;
        token.text = std::string(1, c);
        return token;
    }

    [[noreturn]] void fail(int line, const std::string& message) const {
        throw EReadError(FFileName, line, message);
    }

private:
    static void appendUtf8(std::string& text, uint32_t point) {
        if (point < 0x80) {
            text += static_cast<char>(point);
        } else if (point < 0x800) {
            text += static_cast<char>(0xC0 | (point >> 6));
            text += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            text += static_cast<char>(0xE0 | (point >> 12));
            text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (point >> 18));
            text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (point & 0x3F));
        }
    }

    void skipSpaceAndComments() {
        while (FPos < FText.size()) {
            char c = FText[FPos];
            if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++FPos;
            } else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
                while (FPos < FText.size() && FText[FPos] != '\n')
                    ++FPos;
            } else {
                break;
            }
        }
    }

    Token number(Token& token) {
        size_t start = FPos;
        bool negative = false;
        if (FText[FPos] == '-') {
            negative = true;
            ++FPos;
        }
        int base = 10;
        if (FPos < FText.size() && FText[FPos] == '$') {
            base = 16;
            ++FPos;
        }
        size_t digitsStart = FPos;
        while (FPos < FText.size() &&
               (std::isxdigit(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '.'))
            ++FPos;
        std::string digits = FText.substr(digitsStart, FPos - digitsStart);
        token.text = FText.substr(start, FPos - start);
        if (digits.empty())
            fail(token.line,
                 "expected a number, found '" + FText.substr(start, std::max<size_t>(1, FPos - start)) + "'");
        try {
            if (base == 10 && digits.find('.') != std::string::npos) {
                token.kind = Token::Kind::Float;
                size_t used = 0;
                token.floating = std::stod(digits, &used);
                if (used != digits.size())
                    throw std::invalid_argument(digits);
                if (negative)
                    token.floating = -token.floating;
                return token;
            }
            size_t used = 0;
            uint64_t magnitude = std::stoull(digits, &used, base);
            if (used != digits.size())
                throw std::invalid_argument(digits);
            if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
                fail(token.line, "number " + token.text + " is out of range");
            // Hexadecimal values are bit patterns of 32-bit integers, as colours are stored.
            int64_t value = base == 16 && magnitude <= 0xFFFFFFFFull ? static_cast<int32_t>(magnitude)
                                                                     : static_cast<int64_t>(magnitude);
            token.kind = Token::Kind::Integer;
            token.integer = negative ? -value : value;
        } catch (const std::logic_error&) {
            fail(token.line, "'" + token.text + "' is not a valid number");
        }
        return token;
    }

    // 'text' with '' for a quote, #code for a character by code, adjacent pieces joined.
    Token string(Token& token) {
        token.kind = Token::Kind::String;
        while (FPos < FText.size() && (FText[FPos] == '\'' || FText[FPos] == '#')) {
            if (FText[FPos] == '#') {
                ++FPos;
                size_t start = FPos;
                while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
                    ++FPos;
                if (start == FPos)
                    fail(FLine, "expected a character code after '#'");
                std::string code = FText.substr(start, FPos - start);
                // Codes are Unicode code points, kept as UTF-8 like the rest of the text.
                uint32_t point = 0;
                for (size_t i = 0; i < code.size() && point <= 0x10FFFF; ++i)
                    point = point * 10 + static_cast<uint32_t>(code[i] - '0');
                if (point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
                    fail(FLine, "character code " + code + " is out of range");
                appendUtf8(token.text, point);
                continue;
            }
            ++FPos;
            while (true) {
                if (FPos >= FText.size() || FText[FPos] == '\n')
                    fail(token.line, "unterminated string");
                if (FText[FPos] == '\'') {
                    if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                        token.text += '\'';
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                token.text += FText[FPos++];
            }
        }
        return token;
    }

    const std::string& FText;
    const std::string& FFileName;
    size_t FPos = 0;
    int FLine = 1;
};

struct PropertyNode {
    std::string name;
    StoredValue value;
    int line;
};

struct ObjectNode {
    std::string name;
    std::string className;
    int line = 0;
    std::vector<PropertyNode> properties;
    std::vector<std::unique_ptr<ObjectNode>> children;
};

class Parser {
public:
    Parser(Lexer& lexer, const DefinitionReader::FileLoader& loader) : FLexer(lexer), FLoader(loader) {
        advance();
    }

    std::unique_ptr<ObjectNode> parseRoot() {
        auto root = parseObject();
        if (FToken.kind != Token::Kind::End)
            FLexer.fail(FToken.line, "unexpected '" + FToken.text + "' after the end of the definition");
        return root;
    }

private:
    void advance() { FToken = FLexer.next(); }

    [[noreturn]] void unexpected(const std::string& expected) {
        if (FToken.kind == Token::Kind::End)
            FLexer.fail(FToken.line, "unexpected end of file, expected " + expected);
        FLexer.fail(FToken.line, "expected " + expected + ", found '" + FToken.text + "'");
    }

    std::string expectIdentifier(const std::string& what) {
        if (FToken.kind != Token::Kind::Identifier)
            unexpected(what);
        std::string text = FToken.text;
        advance();
        return text;
    }

    void expectSymbol(const std::string& symbol) {
        if (FToken.kind != Token::Kind::Symbol || FToken.text != symbol)
            unexpected("'" + symbol + "'");
        advance();
    }

    std::unique_ptr<ObjectNode> parseObject() {
        auto node = std::make_unique<ObjectNode>();
        node->line = FToken.line;
        if (FToken.kind != Token::Kind::Identifier || FToken.text != "object")
            unexpected("'object'");
        // Objects are read, built and freed recursively: unbounded nesting would exhaust the stack.
        if (FNesting == maximumNesting)
            FLexer.fail(FToken.line,
                        "objects are nested more than " + std::to_string(maximumNesting) + " deep");
        // Each new name is checked against every other one, so the count is bounded too.
        if (FObjects == maximumObjects)
            FLexer.fail(FToken.line,
                        "the definition has more than " + std::to_string(maximumObjects) + " objects");
        ++FNesting;
        ++FObjects;
        advance();
        node->name = expectIdentifier("a component name");
        expectSymbol(":");
        node->className = expectIdentifier("a class name");
        while (true) {
            if (FToken.kind == Token::Kind::End)
                FLexer.fail(FToken.line, "unexpected end of file, expected 'end' of object " + node->name +
                                             " begun at line " + std::to_string(node->line));
            if (FToken.kind == Token::Kind::Identifier && FToken.text == "end") {
                advance();
                --FNesting;
                return node;
            }
            if (FToken.kind == Token::Kind::Identifier && FToken.text == "object") {
                node->children.push_back(parseObject());
                continue;
            }
            PropertyNode property;
            property.line = FToken.line;
            property.name = expectIdentifier("a property name, 'object' or 'end'");
            expectSymbol("=");
            property.value = parseValue();
            node->properties.push_back(std::move(property));
        }
    }

    StoredValue parseValue() {
        StoredValue value;
        int line = FToken.line;
        switch (FToken.kind) {
        case Token::Kind::Integer:
            value.kind = StoredValue::Kind::Integer;
            value.integer = FToken.integer;
            advance();
            return value;
        case Token::Kind::Float:
            value.kind = StoredValue::Kind::Float;
            value.floating = FToken.floating;
            advance();
            return value;
        case Token::Kind::String:
            value.kind = StoredValue::Kind::String;
            value.text = parseConcatenatedString();
            return value;
        case Token::Kind::Identifier: {
            std::string identifier = FToken.text;
            advance();
            if (FToken.kind == Token::Kind::Symbol && FToken.text == "(") {
                // Picture data: the graphic kind and the file holding its bytes.
                advance();
                if (FToken.kind != Token::Kind::String)
                    unexpected("the name of the file holding the picture data");
                std::string file = FToken.text;
                advance();
                expectSymbol(")");
                value.kind = StoredValue::Kind::Data;
                value.text = identifier;
                try {
                    value.bytes = FLoader(file);
                } catch (const std::exception& error) {
                    FLexer.fail(line, error.what());
                }
                return value;
            }
            value.kind = StoredValue::Kind::Identifier;
            value.text = identifier;
            return value;
        }
        case Token::Kind::Symbol:
            if (FToken.text == "[") {
                advance();
                value.kind = StoredValue::Kind::Set;
                while (!(FToken.kind == Token::Kind::Symbol && FToken.text == "]")) {
                    value.items.push_back(expectIdentifier("a set element or ']'"));
                    if (FToken.kind == Token::Kind::Symbol && FToken.text == ",")
                        advance();
                    else if (!(FToken.kind == Token::Kind::Symbol && FToken.text == "]"))
                        unexpected("',' or ']'");
                }
                advance();
                return value;
            }
            if (FToken.text == "(") {
                advance();
                value.kind = StoredValue::Kind::StringList;
                while (!(FToken.kind == Token::Kind::Symbol && FToken.text == ")")) {
                    if (FToken.kind != Token::Kind::String)
                        unexpected("a string or ')'");
                    value.items.push_back(parseConcatenatedString());
                }
                advance();
                return value;
            }
            [[fallthrough]];
        default:
            unexpected("a value");
        }
    }

    std::string parseConcatenatedString() {
        std::string text = FToken.text;
        advance();
        while (FToken.kind == Token::Kind::Symbol && FToken.text == "+") {
            advance();
            if (FToken.kind != Token::Kind::String)
                unexpected("a string after '+'");
            text += FToken.text;
            advance();
        }
        return text;
    }

    static constexpr int maximumNesting = 100;
    static constexpr int maximumObjects = 1000;

    Lexer& FLexer;
    const DefinitionReader::FileLoader& FLoader;
    Token FToken;
    int FNesting = 0;
    int FObjects = 0;
};

// Collects references and event wirings while the tree is read and resolves them afterwards.
class DeferredResolver : public PropertyResolver {
public:
    DeferredResolver(TComponent* root, const std::string& fileName) : FRoot(root), FFileName(fileName) {}

    void setLine(int line) { FLine = line; }

    void resolveReference(const std::string& name, std::string_view className,
                          std::function<void(TComponent*)> assign) override {
        FPending.push_back({FLine, [this, name, className = std::string(className), assign, line = FLine] {
                                TComponent* target =
                                    FRoot->Name() == name ? FRoot : FRoot->FindComponent(name);
                                if (target == nullptr)
                                    throw EReadError(FFileName, line, "unknown component '" + name + "'");
                                if (!target->InheritsFrom(className))
                                    throw EReadError(FFileName, line,
                                                     "'" + name + "' is a " + target->ClassName() +
                                                         ", expected a " + className);
                                assign(target);
                            }});
    }

    void resolveEvent(const std::string& methodName, std::function<void(TNotifyEvent)> assign) override {
        FPending.push_back({FLine, [this, methodName, assign, line = FLine] {
                                TNotifyEvent handler = FRoot->MethodAddress(methodName);
                                if (!handler)
                                    throw EReadError(FFileName, line,
                                                     std::string(FRoot->ClassName()) +
                                                         " has no handler named '" + methodName + "'");
                                assign(std::move(handler));
                            }});
    }

    void resolveAll() {
        for (auto& pending : FPending) {
            try {
                pending.resolve();
            } catch (const EReadError&) {
                throw;
            } catch (const std::exception& error) {
                throw EReadError(FFileName, pending.line, error.what());
            }
        }
    }

private:
    struct Pending {
        int line;
        std::function<void()> resolve;
    };
    TComponent* FRoot;
    const std::string& FFileName;
    int FLine = 0;
    std::vector<Pending> FPending;
};

class TreeBuilder {
public:
    TreeBuilder(TComponent* root, const std::string& fileName, DeferredResolver& resolver)
        : FRoot(root), FFileName(fileName), FResolver(resolver) {}

    void build(const ObjectNode& node) {
        if (node.className != FRoot->ClassName())
            throw EReadError(FFileName, node.line,
                             "the definition is for a " + node.className + ", not a " + FRoot->ClassName());
        FRoot->SetLoading(true);
        FCreated.push_back(FRoot);
        setName(FRoot, node);
        setProperties(FRoot, node);
        for (const auto& child : node.children)
            buildChild(*child, FRoot);
    }

    const std::vector<TComponent*>& created() const { return FCreated; }

private:
    void buildChild(const ObjectNode& node, TComponent* parent) {
        TComponent* component = ClassRegistry::Create(node.className, FRoot);
        if (component == nullptr)
            throw EReadError(FFileName, node.line, "unknown class '" + node.className + "'");
        component->SetLoading(true);
        FCreated.push_back(component);
        setName(component, node);
        try {
            component->SetParentComponent(parent);
        } catch (const std::exception& error) {
            throw EReadError(FFileName, node.line, error.what());
        }
        setProperties(component, node);
        for (const auto& child : node.children)
            buildChild(*child, component);
    }

    void setName(TComponent* component, const ObjectNode& node) {
        try {
            component->SetName(node.name);
        } catch (const std::exception& error) {
            throw EReadError(FFileName, node.line, error.what());
        }
    }

    void setProperties(TComponent* component, const ObjectNode& node) {
        for (const PropertyNode& property : node.properties) {
            FResolver.setLine(property.line);
            try {
                component->SetStoredProperty(property.name, property.value, FResolver);
            } catch (const UnknownPropertyError& error) {
                throw EReadError(FFileName, property.line, error.what());
            } catch (const std::exception& error) {
                throw EReadError(FFileName, property.line,
                                 "invalid value for " + node.name + "." + property.name + ": " +
                                     error.what());
            }
        }
    }

    TComponent* FRoot;
    const std::string& FFileName;
    DeferredResolver& FResolver;
    std::vector<TComponent*> FCreated;
};

std::vector<uint8_t> readBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("cannot read '" + path + "': " + file.errorString().toStdString());
    QByteArray data = file.readAll();
    return {data.begin(), data.end()};
}

} // namespace

DefinitionReader::DefinitionReader(std::string text, std::string fileName, FileLoader loader)
    : FText(std::move(text)), FFileName(std::move(fileName)), FLoader(std::move(loader)) {
    if (!FLoader) {
        std::string directory = QFileInfo(QString::fromStdString(FFileName)).path().toStdString();
        FLoader = [directory](const std::string& name) {
            return readBytes(directory + "/" + name);
        };
    }
}

void DefinitionReader::ReadInto(TComponent* root) {
    Lexer lexer(FText, FFileName);
    Parser parser(lexer, FLoader);
    std::unique_ptr<ObjectNode> tree = parser.parseRoot();
    DeferredResolver resolver(root, FFileName);
    TreeBuilder builder(root, FFileName, resolver);
    try {
        builder.build(*tree);
        resolver.resolveAll();
        for (TComponent* component : builder.created())
            component->SetLoading(false);
        for (TComponent* component : builder.created())
            component->Loaded();
    } catch (...) {
        for (TComponent* component : builder.created())
            component->SetLoading(false);
        throw;
    }
}

std::string DefinitionReader::ReadTextFile(const std::string& path) {
    std::vector<uint8_t> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}
