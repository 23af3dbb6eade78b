// Evaluation blocks: $[ expression ] in a script column. The variable store expands
// the references first (each becomes a parenthesised single value inside a block),
// then hands the inside of a block to this parser and evaluator.
//
// Grammar, one operator per level:
//   expression := operand [ operator operand ]
//   operand    := "(" expression [ ")" ] | literal
// A literal of one character y/t/1 or n/f/0 is the number 1 or 0; a literal that
// starts with a digit is a number; anything else is a string. Quotes only group.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "script/errcodes.h"

inline constexpr int VAREVAL_MAX_EXPRESSION = 1024;

// Operand and value types.
inline constexpr int VAREVAL_TYPE_NODE = 1;
inline constexpr int VAREVAL_TYPE_STRING = 2;
inline constexpr int VAREVAL_TYPE_NUMBER = 3;

// Operator codes.
inline constexpr int VAREVAL_OP_AND = 1;
inline constexpr int VAREVAL_OP_OR = 2;
inline constexpr int VAREVAL_OP_EQUAL = 3;
inline constexpr int VAREVAL_OP_GREATER = 4;
inline constexpr int VAREVAL_OP_GREATER_EQUAL = 5;
inline constexpr int VAREVAL_OP_LESS = 6;
inline constexpr int VAREVAL_OP_LESS_EQUAL = 7;
inline constexpr int VAREVAL_OP_BIT_AND = 8;
inline constexpr int VAREVAL_OP_BIT_OR = 9;
inline constexpr int VAREVAL_OP_BIT_XOR = 10;
inline constexpr int VAREVAL_OP_SINGLE = 11;
inline constexpr int VAREVAL_OP_NOT_EQUAL = 12;

struct VAREVAL_NODE;

// A computed value: a string (type 2) or a number (type 3, compared unsigned).
struct VAREVAL_VALUE {
    int type = VAREVAL_TYPE_NUMBER;
    std::string string;
    uint32_t number = 0;
};

// One side of a node: a literal value or a parenthesised sub-expression (type 1).
struct VAREVAL_OPERAND {
    int type = VAREVAL_TYPE_NUMBER;
    std::string string;
    uint32_t number = 0;
    std::unique_ptr<VAREVAL_NODE> node;
};

struct VAREVAL_NODE {
    VAREVAL_OPERAND left;
    int op = VAREVAL_OP_OR;  // a fresh node; parsing always sets the real operator
    VAREVAL_OPERAND right;   // number 0 until a right operand is read
};

// 1 when text starts with "$[" and its last character is "]", else 0.
int VAREVAL_IsBlock(const char* text);
// Parses expression into node (replacing what it held): 0, -1601..-1605, -1607.
int VAREVAL_Parse(const char* expression, VAREVAL_NODE* node);
// The expression's value as a signed 32-bit integer, or a negative error code
// (-1605, -1606, -1608, -1609). A value that is itself negative cannot be told apart
// from an error here; VAREVAL_EvaluateBlock reports code and value separately.
int VAREVAL_Evaluate(const VAREVAL_NODE* node);
// Copies an operand into value: 0, -1605 without memory, -1606 for a sub-expression.
int LocalCopyValue(const VAREVAL_OPERAND* operand, VAREVAL_VALUE* value);

// The whole evaluation of one block text "$[...]": strips the brackets, parses and
// evaluates. Returns 0 with *value set, or the parser's or evaluator's error code.
// A text that is not a block is -1602 (there is no expression to evaluate).
int VAREVAL_EvaluateBlock(const char* block, int32_t* value);
