# Renders the plug-in property list described in PluginProperties.cmake as the raw data of
# the module's "PIPL" resource, in resource-script syntax.
#
#   cmake -DDESCRIPTION=<PluginProperties.cmake> -DOUTPUT=<file.rc> -P RenderPluginProperties.cmake
#
# Layout of the list (all integers little-endian):
#   header   reserved word 1 (2 bytes), list version 0 (4), number of properties (4)
#   record   vendor code (4), key code (4), property id 0 (4), data length (4), data
# Records follow one another without alignment, so the first one starts at offset 10. A data
# length is always a multiple of 4. Every field after the reserved word is therefore a whole
# 32-bit word, written as a long ("L") item of the resource script, which windres stores
# little-endian: a four-character code 'ABCD' written as 0x41424344L lands in the file as the
# bytes 44 43 42 41, as the host expects.
cmake_minimum_required(VERSION 3.25)

foreach(_var DESCRIPTION OUTPUT)
    if(NOT DEFINED ${_var})
        message(FATAL_ERROR "RenderPluginProperties.cmake needs -D${_var}=...")
    endif()
endforeach()

include("${DESCRIPTION}")

# The 32-bit value of a four-character code, first character in the most significant byte,
# as eight hex digits.
function(_four_char_code_hex code out)
    string(LENGTH "${code}" _length)
    if(NOT _length EQUAL 4)
        message(FATAL_ERROR "'${code}' is not a four-character code")
    endif()
    string(HEX "${code}" _hex)
    string(TOUPPER "${_hex}" _hex)
    set(${out} "${_hex}" PARENT_SCOPE)
endfunction()

# A long item for 32-bit value given as eight hex digits, most significant first.
function(_long_item hex out)
    set(${out} "0x${hex}L" PARENT_SCOPE)
endfunction()

# Eight hex digits of a non-negative decimal number below 2^31.
function(_int32_hex value out)
    if(NOT value MATCHES "^[0-9]+$" OR value GREATER 2147483647)
        message(FATAL_ERROR "'${value}' is not an integer this list can hold")
    endif()
    math(EXPR _hex "${value}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" _hex "${_hex}")
    string(TOUPPER "${_hex}" _hex)
    string(LENGTH "${_hex}" _length)
    math(EXPR _zeros "8 - ${_length}")
    string(REPEAT "0" ${_zeros} _pad)
    set(${out} "${_pad}${_hex}" PARENT_SCOPE)
endfunction()

# Text as whole 32-bit words: its bytes, a terminating zero and zero padding, four bytes per
# word. Each word is written as the little-endian value of its four bytes, so the bytes come
# out in the order of the text. Sets <out_items> to the items and <out_length> to their size.
function(_text_items text out_items out_length)
    if(NOT text MATCHES "^[ -~]+$")
        message(FATAL_ERROR "'${text}' is not printable ASCII text")
    endif()
    string(HEX "${text}" _hex)
    string(LENGTH "${text}" _length)
    math(EXPR _padded "(${_length} + 1 + 3) / 4 * 4")
    math(EXPR _zeros "(${_padded} - ${_length}) * 2")
    string(REPEAT "0" ${_zeros} _pad)
    string(TOUPPER "${_hex}${_pad}" _hex)
    set(_items "")
    math(EXPR _last "${_padded} / 4 - 1")
    foreach(_word RANGE ${_last})
        math(EXPR _at "${_word} * 8")
        string(SUBSTRING "${_hex}" ${_at} 8 _bytes)
        # Bytes b0 b1 b2 b3 are the little-endian value 0x b3 b2 b1 b0.
        string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" _value "${_bytes}")
        list(APPEND _items "0x${_value}L")
    endforeach()
    set(${out_items} "${_items}" PARENT_SCOPE)
    set(${out_length} ${_padded} PARENT_SCOPE)
endfunction()

list(LENGTH PIPL_PROPERTIES _fields)
math(EXPR _count "${_fields} / 3")
math(EXPR _rest "${_fields} % 3")
if(_count EQUAL 0 OR NOT _rest EQUAL 0)
    message(FATAL_ERROR "PIPL_PROPERTIES must hold <key> <type> <value> triples")
endif()

_four_char_code_hex("${PIPL_VENDOR}" _vendor_hex)
_long_item(${_vendor_hex} _vendor)
_int32_hex(${_count} _count_hex)

set(_offset 10)
set(_body "")
math(EXPR _last "${_count} - 1")
foreach(_index RANGE ${_last})
    math(EXPR _at "${_index} * 3")
    list(GET PIPL_PROPERTIES ${_at} _key)
    math(EXPR _at "${_at} + 1")
    list(GET PIPL_PROPERTIES ${_at} _type)
    math(EXPR _at "${_at} + 1")
    list(GET PIPL_PROPERTIES ${_at} _value)

    _four_char_code_hex("${_key}" _key_hex)
    if(_type STREQUAL "code")
        _four_char_code_hex("${_value}" _data_hex)
        set(_data "0x${_data_hex}L")
        set(_data_note "'${_value}'")
        set(_length 4)
    elseif(_type STREQUAL "int32")
        _int32_hex("${_value}" _data_hex)
        set(_data "0x${_data_hex}L")
        set(_data_note "${_value}")
        set(_length 4)
    elseif(_type STREQUAL "text")
        _text_items("${_value}" _data _length)
        string(REPLACE ";" ", " _data "${_data}")
        set(_data_note "\"${_value}\", zero-terminated and padded")
    else()
        message(FATAL_ERROR "property '${_key}' has unknown type '${_type}'")
    endif()
    _int32_hex(${_length} _length_hex)

    string(APPEND _body
        "    /* offset ${_offset}: '${_key}', ${_length} bytes of data */\n"
        "    ${_vendor}, 0x${_key_hex}L, 0x00000000L, 0x${_length_hex}L,\n"
        "    ${_data}")
    if(_index LESS _last)
        string(APPEND _body ",")
    endif()
    string(APPEND _body " /* ${_data_note} */\n")
    math(EXPR _offset "${_offset} + 16 + ${_length}")
endforeach()

set(_rc "/* Rendered from PluginProperties.cmake by RenderPluginProperties.cmake at build time.\n")
string(APPEND _rc " * Change the description, not this file. ${_offset} bytes in all. */\n")
string(APPEND _rc "${PIPL_RESOURCE_ID} PIPL\n")
string(APPEND _rc "BEGIN\n")
string(APPEND _rc "    0x0001, 0x00000000L, 0x${_count_hex}L, /* reserved word, list version, ${_count} properties */\n")
string(APPEND _rc "${_body}")
string(APPEND _rc "END\n")

# Rewrite only on change, so that an unchanged list relinks nothing.
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${_rc}" @ONLY)
