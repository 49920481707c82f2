#!/bin/bash
# Errors the option parser raises, each in a table row (every option that is checked, on every
# command that has it): the exit status is 2, standard output
# says nothing, standard error names the option (or the argument) that is wrong, and nothing
# is written or changed. Only these stable parts are held, not whole sentences, whose wording
# may change.
#
#   option-errors-test.sh QUORVANE_HOST EXAMPLES_DIR WORK_DIR
set -u
host=$1 examples=$2 work=$3/option-errors
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp "$examples/festival-posters.json" doc.json
before=$(sha256sum doc.json)

# name | what standard error must name | the arguments (split on spaces)
cases='
order missing|--by|renumber doc.json
order not one of the two|--by|renumber --by diagonal doc.json
order given no value|--by|renumber doc.json --by
output given no value|--output|renumber --by row doc.json --output
tolerance negative|tolerance|renumber --by row --tolerance -1 doc.json
tolerance not a number|tolerance|renumber --by row --tolerance abc doc.json
tolerance not finite|tolerance|renumber --by row --tolerance inf doc.json
a view without an order|--by|show --bottom-up doc.json
an option no command has|--colour|show --colour doc.json
a flag given a value|--dry-run|renumber --by row --dry-run=maybe doc.json
a second document|out.json|renumber --by row doc.json out.json
a command that does not exist|subcommand|frobnicate doc.json
no document|DOCUMENT|renumber --by row
seed not a number|--seed|validate --seed twelve
time limit of nothing|--time-limit|validate --time-limit 0
format neither json nor svg|--format|renumber --by row --format xml doc.json
show: format neither json nor svg|--format|show --format xml doc.json
show: order not one of the two|--by|show --by diagonal doc.json
show: tolerance negative|tolerance|show --by row --tolerance -1 doc.json
show: tolerance not a number|tolerance|show --by row --tolerance abc doc.json
show: picture given no value|--picture|show doc.json --picture
picture given no value|--picture|renumber --by row doc.json --picture
trace given no value|--trace|renumber --by row doc.json --trace
a name pattern with an unknown placeholder|--rename|renumber --by row --rename {x} doc.json
a module that is not there|missing.so|renumber --by row --module missing.so doc.json
show: a module that is not there|missing.so|show --module missing.so --by row --bottom-up doc.json
menus: a module that is not there|missing.so|menus --module missing.so
about: an option it does not have|--colour|about --colour
validate: a check that does not exist|no-such-check|validate --only no-such-check
'
failures=0
while IFS='|' read -r name names arguments; do
    [ -n "$name" ] || continue
    # shellcheck disable=SC2086 # the arguments are split on purpose
    "$host" $arguments >out.txt 2>err.txt
    status=$?
    problem=""
    if [ $status -ne 2 ]; then
        problem="exit status $status, not 2"
    elif [ -s out.txt ]; then
        problem="standard output is not empty: $(head -c 200 out.txt)"
    elif ! grep -qF -- "$names" err.txt; then
        problem="standard error does not name $names: $(head -c 300 err.txt)"
    elif [ "$(sha256sum doc.json)" != "$before" ]; then
        problem="doc.json changed"
    elif [ "$(ls | sort | tr '\n' ' ')" != "doc.json err.txt out.txt " ]; then
        problem="files appeared: $(ls | tr '\n' ' ')"
    fi
    if [ -n "$problem" ]; then
        echo "FAIL $name ($arguments): $problem"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
done <<<"$cases"
[ $failures -eq 0 ]
