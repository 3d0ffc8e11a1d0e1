# Bash completion for vantrelagent: its options, file names after the options that take a
# file, and the four modes. Self-contained, so it works without the bash-completion helpers.

_vantrelagent() {
    local line=${COMP_LINE:0:COMP_POINT}
    local word=${line##*[[:space:]]}
    local option=${word%%=*}= value=${word#*=}
    # With '=' among the word breaks (bash's default) the reply replaces only the text after
    # it; without, the reply must carry the option itself.
    local prefix=$option
    if [[ $COMP_WORDBREAKS == *=* ]]; then prefix=; fi
    COMPREPLY=()
    if [[ $word != *=* ]]; then
        local options="--accp= --as_dbo --dest= --help --logfile= --mode= --mssqlh= --mssqlu=
            --mssqlp= --profile= --silent --skip_idx --src= --sysdb= --tab_def --tab_file=
            --uglu= --uglp="
        COMPREPLY=($(compgen -W "$options" -- "$word"))
        # An option that takes a value goes on right after its '='.
        if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]]; then compopt -o nospace; fi
        return 0
    fi
    case $option in
        --src=|--sysdb=|--profile=|--tab_file=|--logfile=)
            compopt -o filenames
            local IFS=$'\n'
            COMPREPLY=($(compgen -f -- "$value"))
            if [[ -n $prefix ]]; then COMPREPLY=("${COMPREPLY[@]/#/$prefix}"); fi
            ;;
        --mode=)
            COMPREPLY=($(compgen -W "0 1 2 3" -- "$value"))
            if [[ -n $prefix ]]; then COMPREPLY=("${COMPREPLY[@]/#/$prefix}"); fi
            ;;
    esac
    return 0
}
complete -F _vantrelagent vantrelagent
