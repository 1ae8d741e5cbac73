# SPDX-License-Identifier: GPL-3.0-or-later
# The right answer to a question as the board shows it ("7 X 3 ="), for the end-to-end scripts
# that read the board and type an answer; sourced by them.
#
#   answer_to "A OP B ="     prints the answer; fails on anything that is not a question
answer_to() { # QUESTION
  # shellcheck disable=SC2086 # split into its words on purpose
  set -- $1
  case ${2:-} in
    +) echo $(($1 + $3)) ;;
    -) echo $(($1 - $3)) ;;
    X) echo $(($1 * $3)) ;;
    :) echo $(($1 / $3)) ;;
    *) return 1 ;;
  esac
}
