# bash completion for vkx: the commands, their options, the values of
# --format, --overall-rule, --overall-unit, --memory, --distance and the
# design's index, and the data files (*.inp, offered without the extension)
# where a game, a vote system or a target file is named.

_vkx() {
  local cur prev words cword
  _init_completion 2>/dev/null || {
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    cword=$COMP_CWORD
  }
  local commands="shapley banzhaf publicgood coleman rae johnston all check design"
  local options="--winset --weights --members --system --system-weights --overall
    --overall-rule --overall-unit --blocking --isa --working-plan --positions --format
    --totals --output --plot --memory --plan --exhaustive --estimate --files --unions --help"
  case ${COMP_WORDS[1]} in
    check) options="--winset --weights --system --system-weights --overall --overall-rule
      --overall-unit --blocking --yes --format --output --help" ;;
    design) options="--target --target-file --root --weights --distance --seconds --format
      --output --plot --help" ;;
  esac

  if ((cword == 1)); then
    mapfile -t COMPREPLY < <(compgen -W "$commands --help --version --keys" -- "$cur")
    return
  fi
  case $prev in
    --format) mapfile -t COMPREPLY < <(compgen -W "report csv json" -- "$cur"); return ;;
    --overall-rule) mapfile -t COMPREPLY < <(compgen -W "and or" -- "$cur"); return ;;
    --overall-unit) mapfile -t COMPREPLY < <(compgen -W "members votes" -- "$cur"); return ;;
    --winset) mapfile -t COMPREPLY < <(compgen -W "majority 50% 62% 50%:75%:1%" -- "$cur"); return ;;
    --output | --keys) mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
    --plot) mapfile -t COMPREPLY < <(compgen -f -X '!*.svg' -- "$cur"); compopt -o filenames 2>/dev/null; return ;;
    --positions)
      mapfile -t COMPREPLY < <(compgen -f -X '!*.pos' -- "$cur" | sed 's/\.pos$//')
      return ;;
    --memory) mapfile -t COMPREPLY < <(compgen -W "512M 2G 8G" -- "$cur"); return ;;
    --distance) mapfile -t COMPREPLY < <(compgen -W "sumsq maxabs" -- "$cur"); return ;;
    --weights | --members | --system-weights | --overall | --blocking | --isa | --unions | \
      --yes | --target | --root | --seconds) return ;;
  esac
  # The design's index comes first.
  if ((cword == 2)) && [[ ${COMP_WORDS[1]} == design && $cur != -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "banzhaf shapley" -- "$cur")
    return
  fi
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  # A game or a vote system: the data files here, named without .inp.
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -X '!*.inp' -- "$cur" | sed 's/\.inp$//'; compgen -d -- "$cur")
}

complete -F _vkx vkx
