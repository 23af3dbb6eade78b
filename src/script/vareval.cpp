#include "script/vareval.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

#include "script/common.h"

namespace {

constexpr std::string_view kWordEnds = "()&|=<>!^";
constexpr std::string_view kSecondOfPair = "&|=<>!^";

// Hands out one token at a time from the expression's own copy.
class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    // 0 with the token's text, or -1602 at the end of the text.
    int Next(std::string& token) {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        if (pos_ >= text_.size()) return ERROR_VAREVAL_TERMINATOR_TOO_EARLY;
        const char c = text_[pos_];
        size_t length = 1;
        if (std::strchr("!&=^|", c) != nullptr) {
            if (pos_ + 1 < text_.size() && kSecondOfPair.find(text_[pos_ + 1]) != std::string_view::npos) length = 2;
        } else if (c == '<' || c == '>') {
            if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '=') length = 2;
        } else if (c == '(' || c == ')') {
            length = 1;
        } else if (c == '"') {
            // Quotes only group; an unclosed quote runs to the end of the text.
            const size_t close = text_.find('"', pos_ + 1);
            const size_t end = close == std::string_view::npos ? text_.size() : close;
            token.assign(text_.substr(pos_ + 1, end - pos_ - 1));
            pos_ = close == std::string_view::npos ? end : close + 1;
            return 0;
        } else {
            size_t end = pos_;
            while (end < text_.size() && text_[end] != ' ' && kWordEnds.find(text_[end]) == std::string_view::npos) ++end;
            length = end - pos_;
        }
        token.assign(text_.substr(pos_, length));
        pos_ += length;
        return 0;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

struct OperatorName {
    std::string_view text;
    int code;
};

constexpr OperatorName kOperators[] = {
    {"&&", VAREVAL_OP_AND},         {"||", VAREVAL_OP_OR},         {"==", VAREVAL_OP_EQUAL},
    {">", VAREVAL_OP_GREATER},      {">=", VAREVAL_OP_GREATER_EQUAL}, {"<", VAREVAL_OP_LESS},
    {"<=", VAREVAL_OP_LESS_EQUAL},  {"&", VAREVAL_OP_BIT_AND},     {"|", VAREVAL_OP_BIT_OR},
    {"^", VAREVAL_OP_BIT_XOR},      {"!=", VAREVAL_OP_NOT_EQUAL},
};

int OperatorCode(std::string_view token) {
    for (const OperatorName& op : kOperators) {
        if (op.text == token) return op.code;
    }
    return 0;
}

void SetLiteral(const std::string& token, VAREVAL_OPERAND& operand) {
    operand.node.reset();
    operand.string.clear();
    operand.number = 0;
    if (token.size() == 1) {
        const int c = std::tolower(static_cast<unsigned char>(token[0]));
        if (c == 'y' || c == 't' || c == '1' || c == 'n' || c == 'f' || c == '0') {
            operand.type = VAREVAL_TYPE_NUMBER;
            operand.number = (c == 'y' || c == 't' || c == '1') ? 1 : 0;
            return;
        }
    }
    if (token.empty() || !std::isdigit(static_cast<unsigned char>(token[0]))) {
        operand.type = VAREVAL_TYPE_STRING;
        operand.string = token;
        return;
    }
    // Numbers are 32 bits; longer digit runs wrap around rather than overflow.
    uint32_t number = 0;
    for (size_t i = 0; i < token.size() && std::isdigit(static_cast<unsigned char>(token[i])); ++i) {
        number = number * 10u + static_cast<uint32_t>(token[i] - '0');
    }
    operand.type = VAREVAL_TYPE_NUMBER;
    operand.number = number;
}

int ParseExpression(Lexer& lexer, VAREVAL_NODE& node, bool nested);

int ReadOperand(Lexer& lexer, const std::string& token, VAREVAL_OPERAND& operand) {
    if (token == "(") {
        operand.type = VAREVAL_TYPE_NODE;
        operand.string.clear();
        operand.number = 0;
        operand.node = std::make_unique<VAREVAL_NODE>();
        return ParseExpression(lexer, *operand.node, true);
    }
    SetLiteral(token, operand);
    return 0;
}

int ParseExpression(Lexer& lexer, VAREVAL_NODE& node, bool nested) {
    node = VAREVAL_NODE{};
    std::string token;
    int rc = lexer.Next(token);
    if (rc < 0) return rc;
    rc = ReadOperand(lexer, token, node.left);
    if (rc < 0) return rc;

    rc = lexer.Next(token);
    if (rc == ERROR_VAREVAL_TERMINATOR_TOO_EARLY || token == ")") {
        node.op = VAREVAL_OP_SINGLE;
        return 0;
    }
    if (token == "(") return ERROR_VAREVAL_MISPLACE_EXPRESSION;
    node.op = OperatorCode(token);
    if (node.op == 0) return ERROR_VAREVAL_UNKNOWN_OPERATOR;

    rc = lexer.Next(token);
    if (rc < 0) return rc;
    rc = ReadOperand(lexer, token, node.right);
    if (rc < 0) return rc;

    // The top level stops after its right operand; whatever follows is ignored.
    if (!nested) return 0;
    rc = lexer.Next(token);
    if (rc < 0) return rc;
    return token == ")" ? 0 : ERROR_VAREVAL_MISMATCHED_PARENTHESES;
}

int EvaluateNode(const VAREVAL_NODE& node, uint32_t& result);

// The left side keeps a parenthesised single value as it is (a string stays a string);
// a parenthesised expression with an operator contributes its numeric result.
int LeftValue(const VAREVAL_OPERAND& operand, VAREVAL_VALUE& value) {
    if (operand.type != VAREVAL_TYPE_NODE) return LocalCopyValue(&operand, &value);
    if (!operand.node) return ERROR_VAREVAL_UNKNOWN_COPY_TYPE;
    if (operand.node->op == VAREVAL_OP_SINGLE) return LeftValue(operand.node->left, value);
    uint32_t number = 0;
    const int rc = EvaluateNode(*operand.node, number);
    if (rc < 0) return rc;
    value = VAREVAL_VALUE{VAREVAL_TYPE_NUMBER, {}, number};
    return 0;
}

// The right side always turns a parenthesised operand into the number it yields.
int RightValue(const VAREVAL_OPERAND& operand, VAREVAL_VALUE& value) {
    if (operand.type != VAREVAL_TYPE_NODE) return LocalCopyValue(&operand, &value);
    if (!operand.node) return ERROR_VAREVAL_UNKNOWN_COPY_TYPE;
    uint32_t number = 0;
    const int rc = EvaluateNode(*operand.node, number);
    if (rc < 0) return rc;
    value = VAREVAL_VALUE{VAREVAL_TYPE_NUMBER, {}, number};
    return 0;
}

int ApplyToNumbers(int op, uint32_t left, uint32_t right, uint32_t& result) {
    switch (op) {
        case VAREVAL_OP_AND: result = (left != 0 && right != 0) ? 1 : 0; return 0;
        case VAREVAL_OP_OR: result = (left != 0 || right != 0) ? 1 : 0; return 0;
        case VAREVAL_OP_EQUAL: result = left == right; return 0;
        case VAREVAL_OP_GREATER: result = left > right; return 0;
        case VAREVAL_OP_GREATER_EQUAL: result = left >= right; return 0;
        case VAREVAL_OP_LESS: result = left < right; return 0;
        case VAREVAL_OP_LESS_EQUAL: result = left <= right; return 0;
        case VAREVAL_OP_BIT_AND: result = left & right; return 0;
        case VAREVAL_OP_BIT_OR: result = left | right; return 0;
        case VAREVAL_OP_BIT_XOR: result = left ^ right; return 0;
        case VAREVAL_OP_NOT_EQUAL: result = left != right; return 0;
        default: return ERROR_VAREVAL_UNKNOWN_OPERATOR;
    }
}

int ApplyToStrings(int op, const std::string& left, const std::string& right, uint32_t& result) {
    const int order = COMMON_CompareNoCase(left.c_str(), right.c_str(), SIZE_MAX);
    switch (op) {
        case VAREVAL_OP_EQUAL: result = order == 0; return 0;
        case VAREVAL_OP_GREATER: result = order > 0; return 0;
        case VAREVAL_OP_GREATER_EQUAL: result = order >= 0; return 0;
        case VAREVAL_OP_LESS: result = order < 0; return 0;
        case VAREVAL_OP_LESS_EQUAL: result = order <= 0; return 0;
        case VAREVAL_OP_NOT_EQUAL: result = order != 0; return 0;
        case VAREVAL_OP_AND:
        case VAREVAL_OP_OR:
        case VAREVAL_OP_BIT_AND:
        case VAREVAL_OP_BIT_OR:
        case VAREVAL_OP_BIT_XOR: return ERROR_VAREVAL_BAD_OPERAND;
        default: return ERROR_VAREVAL_UNKNOWN_OPERATOR;
    }
}

int EvaluateNode(const VAREVAL_NODE& node, uint32_t& result) {
    VAREVAL_VALUE left;
    int rc = LeftValue(node.left, left);
    if (rc < 0) return rc;
    if (node.op == VAREVAL_OP_SINGLE) {
        result = left.type == VAREVAL_TYPE_NUMBER ? left.number : 0;
        return 0;
    }
    VAREVAL_VALUE right;
    rc = RightValue(node.right, right);
    if (rc < 0) return rc;
    if (left.type != right.type) return ERROR_MISMATCHED_LEFT_AND_RIGHT;
    if (left.type == VAREVAL_TYPE_NUMBER) return ApplyToNumbers(node.op, left.number, right.number, result);
    return ApplyToStrings(node.op, left.string, right.string, result);
}

int ParseText(const char* expression, VAREVAL_NODE& node) {
    const size_t length = expression == nullptr ? 0 : std::strlen(expression);
    if (length > static_cast<size_t>(VAREVAL_MAX_EXPRESSION)) return ERROR_VAREVAL_MAX_TOO_SMALL;
    const std::string work(expression == nullptr ? "" : expression, length);
    Lexer lexer(work);
    return ParseExpression(lexer, node, false);
}

}  // namespace

int VAREVAL_IsBlock(const char* text) {
    if (text == nullptr || text[0] != '$' || text[1] != '[') return 0;
    return text[std::strlen(text) - 1] == ']' ? 1 : 0;
}

int VAREVAL_Parse(const char* expression, VAREVAL_NODE* node) {
    if (node == nullptr) return ERROR_VAREVAL_UNKNOWN_COPY_TYPE;
    try {
        return ParseText(expression, *node);
    } catch (const std::bad_alloc&) {
        return ERROR_VAREVAL_MEMORY_ALLOCATE;
    }
}

int VAREVAL_Evaluate(const VAREVAL_NODE* node) {
    if (node == nullptr) return ERROR_VAREVAL_UNKNOWN_COPY_TYPE;
    try {
        uint32_t result = 0;
        const int rc = EvaluateNode(*node, result);
        return rc < 0 ? rc : static_cast<int32_t>(result);
    } catch (const std::bad_alloc&) {
        return ERROR_VAREVAL_MEMORY_ALLOCATE;
    }
}

int LocalCopyValue(const VAREVAL_OPERAND* operand, VAREVAL_VALUE* value) {
    if (operand == nullptr || value == nullptr) return ERROR_VAREVAL_UNKNOWN_COPY_TYPE;
    try {
        switch (operand->type) {
            case VAREVAL_TYPE_STRING: *value = VAREVAL_VALUE{VAREVAL_TYPE_STRING, operand->string, 0}; return 0;
            case VAREVAL_TYPE_NUMBER: *value = VAREVAL_VALUE{VAREVAL_TYPE_NUMBER, {}, operand->number}; return 0;
            default: return ERROR_VAREVAL_UNKNOWN_COPY_TYPE;
        }
    } catch (const std::bad_alloc&) {
        return ERROR_VAREVAL_MEMORY_ALLOCATE;
    }
}

int VAREVAL_EvaluateBlock(const char* block, int32_t* value) {
    if (!VAREVAL_IsBlock(block)) return ERROR_VAREVAL_TERMINATOR_TOO_EARLY;
    try {
        const std::string inside(block + 2, std::strlen(block) - 3);
        VAREVAL_NODE node;
        int rc = ParseText(inside.c_str(), node);
        if (rc < 0) return rc;
        uint32_t result = 0;
        rc = EvaluateNode(node, result);
        if (rc < 0) return rc;
        if (value != nullptr) *value = static_cast<int32_t>(result);
        return 0;
    } catch (const std::bad_alloc&) {
        return ERROR_VAREVAL_MEMORY_ALLOCATE;
    }
}
