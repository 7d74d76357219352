# bash completion for qel2br                                  -*- shell-script -*-
# Options come from the "Options:" part of `qel2br --help` of the program being completed, so
# that new options complete without a change here; when that gives nothing, the list below is
# used. An option followed by an upper-case word (FILE, FILE.html, DIR, N) takes an argument:
# DIR completes folders, N nothing, any other word file names. Words that are no option
# complete as file names (INPUT, OUTPUT).

_qel2br_help_options() {
  # One line per option: "NAME" or "NAME ARGUMENT".
  local program=$1 line word argument in_options=0
  while IFS= read -r line; do
    if [[ $line == Options:* ]]; then
      in_options=1
      continue
    fi
    ((in_options)) || continue
    [[ -z $line ]] && break
    [[ $line =~ ^\ +(-[^\ ].*)$ ]] || continue
    line=${BASH_REMATCH[1]}
    # "-h, --help  text" or "--elements FILE  text": the names, then an upper-case argument.
    while [[ $line =~ ^(--?[A-Za-z0-9][-A-Za-z0-9=]*)(,\ |\ )?(.*)$ ]]; do
      word=${BASH_REMATCH[1]}
      line=${BASH_REMATCH[3]}
      argument=""
      if [[ $line =~ ^([A-Z][A-Za-z._]*)(\ |$) ]]; then
        argument=${BASH_REMATCH[1]}
      fi
      printf '%s %s\n' "$word" "$argument"
      [[ $line == -* ]] || break
    done
  done < <("$program" --help 2>/dev/null)
}

_qel2br() {
  local cur prev program names=() arguments=() line
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=""
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  program=${COMP_WORDS[0]}
  # A leading ~ is the home folder, as the shell will read it.
  [[ $program == "~/"* ]] && program=$HOME/${program#"~/"}

  while IFS=' ' read -r line argument; do
    [[ -n $line ]] || continue
    names+=("$line")
    [[ -n $argument ]] && arguments+=("$line=$argument")
  done < <(_qel2br_help_options "$program")
  if ((${#names[@]} == 0)); then
    names=(--elements --groups --check --quiet --strict --report --force -h --help --version)
    arguments=(--elements=FILE --groups=FILE --report=FILE.html)
  fi

  local entry kind=""
  for entry in "${arguments[@]}"; do
    if [[ ${entry%%=*} == "$prev" ]]; then
      kind=${entry#*=}
      break
    fi
  done

  local IFS=$'\n'
  if [[ -n $kind ]]; then
    case $kind in
      DIR) COMPREPLY=($(compgen -d -- "$cur")) ;;
      N) COMPREPLY=() ;;
      *) COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
  elif [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "${names[*]}" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
  # Folders get no trailing blank, so that a file inside can follow.
  if [[ -z $kind || $kind != N ]] && [[ $cur != -* ]]; then
    compopt -o filenames 2>/dev/null
  fi
  return 0
}
complete -F _qel2br qel2br
