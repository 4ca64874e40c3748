# The R half of the package: weights (a numeric vector, named or not, a list
# of them for several subgames, or a game of read_game/chambers/vkx_game)
# and quotas into the library's values, the command line's CSV table back
# as a data.frame or a vector named after the players, failures as
# conditions carrying the command line's message.

# A number as the command line reads it: whole numbers in digits, anything
# else as it prints, for the command line's check to refuse with its own
# message.
.text <- function(x) {
  if (is.numeric(x) && !is.na(x) && is.finite(x) && x == round(x)) {
    return(format(x, scientific = FALSE, trim = TRUE))
  }
  as.character(x)
}
.texts <- function(x) vapply(as.list(x), .text, "")

vkx_game <- function(weights = NULL, names = NULL, members = NULL) {
  game <- list(weights = NULL, names = NULL, members = NULL, file = NULL, text = NULL,
               systems = NULL)
  if (!is.null(members)) game$members <- .texts(members)
  if (!is.null(weights)) {
    subgames <- if (is.list(weights)) weights else list(weights)
    game$weights <- lapply(subgames, .texts)
    keys <- unlist(lapply(subgames, base::names))
    if (!is.null(keys)) game$names <- as.character(keys)
  }
  if (!is.null(names)) game$names <- as.character(names)
  structure(game, class = "vkx_game")
}

read_game <- function(path) {
  g <- .Call("vkx_read", as.character(path), PACKAGE = "vkx")
  .failed(g)
  game <- vkx_game()
  game$weights <- g$weights
  game$members <- if (length(g$members)) g$members else NULL
  game$names <- if (length(g$names)) g$names else NULL
  game$file <- if (nzchar(g$file)) g$file else NULL
  game$text <- g$text
  game
}

chambers <- function(sizes) vkx_game(members = sizes)

print.vkx_game <- function(x, ...) {
  if (length(x$members)) {
    cat("vkx game of unweighted chambers:", x$members, "\n")
  } else {
    cat("vkx game of", length(unlist(x$weights)), "players in", length(x$weights),
        "subgame(s)", if (!is.null(x$file)) paste0("(", x$file, ")"), "\n")
  }
  invisible(x)
}

.game <- function(weights) if (inherits(weights, "vkx_game")) weights else vkx_game(weights)

# The win sets of QUOTA: one threshold, a vector of one per subgame, or a
# list of such vectors.
.winsets <- function(quota) if (is.list(quota)) lapply(quota, .texts) else list(.texts(quota))

# A failure of the library as an R condition: class vkx_refused for a game
# too large for the memory or the time, vkx_error otherwise; an interrupted
# count as an interrupt once the count has stopped.
.failed <- function(r) {
  if (isTRUE(r$interrupted)) {
    signalCondition(structure(class = c("interrupt", "condition"),
                              list(message = "interrupted", call = NULL)))
    invokeRestart("abort")
  }
  if (!is.null(r$error)) {
    class <- c(if (isTRUE(r$refused)) "vkx_refused", "vkx_error", "error", "condition")
    stop(structure(class = class, list(message = r$error, call = NULL, status = r$status)))
  }
}

.request <- function(weights, quota, systems, rule, overall, unit, blocking) {
  game <- .game(weights)
  r <- list(winsets = .winsets(quota), systems = NULL,
            overall = if (is.null(overall)) "" else .text(overall), combine = rule, unit = unit,
            blocking = if (is.null(blocking)) "" else .text(blocking))
  if (length(systems)) {
    game$systems <- lapply(systems, function(s) unclass(.game(s[[1]])))
    r$systems <- lapply(systems, function(s) .winsets(s[[2]]))
  }
  list(game = unclass(game), rule = r, keys = game$names)
}

.run <- function(weights, quota, indices, systems = NULL, rule = "and", estimate = NULL,
                 memory = NULL, overall = NULL, unit = "members", blocking = NULL,
                 exhaustive = FALSE) {
  q <- .request(weights, quota, systems, rule, overall, unit, blocking)
  indices <- unlist(strsplit(as.character(indices), ",", fixed = TRUE))
  r <- .Call("vkx_run", q$game, q$rule, indices,
             if (is.null(estimate)) 0 else as.numeric(estimate),
             if (is.null(memory)) "" else .text(memory), isTRUE(exhaustive), PACKAGE = "vkx")
  .failed(r)
  r$keys <- q$keys
  r
}

# The values of COLUMNS of a run per player, named after the players when
# the game names them all; a range of quotas gives a list by quota.
.shaped <- function(r, columns) {
  pick <- function(rows) {
    values <- if (length(columns) == 1) {
      r$columns[[columns]][rows]
    } else {
      m <- sapply(columns, function(c) r$columns[[c]][rows])
      if (!is.matrix(m)) m <- matrix(m, nrow = 1, dimnames = list(NULL, columns))
      colnames(m) <- tolower(columns)
      m
    }
    keys <- r$keys
    if (!is.null(keys) && length(keys) == length(rows) && all(nzchar(keys))) {
      if (is.matrix(values)) rownames(values) <- keys else base::names(values) <- keys
    }
    values
  }
  rows <- seq_along(r$columns[["subgame"]])
  if (!isTRUE(r$sweep)) return(pick(rows))
  quotas <- r$columns[["quota"]]
  out <- lapply(unique(quotas), function(q) pick(which(quotas == q)))
  base::names(out) <- unique(quotas)
  out
}

shapley <- function(weights, quota, ...) .shaped(.run(weights, quota, "shapley", ...), "SS")
banzhaf <- function(weights, quota, absolute = FALSE, ...) {
  .shaped(.run(weights, quota, "banzhaf", ...), if (absolute) "NNBZ" else "NBZ")
}
publicgood <- function(weights, quota, ...) .shaped(.run(weights, quota, "publicgood", ...), "PGI")
deegan_packel <- function(weights, quota, ...) {
  .shaped(.run(weights, quota, "publicgood", ...), "DPI")
}
coleman <- function(weights, quota, ...) {
  .shaped(.run(weights, quota, "coleman", ...), c("PREVENT", "INITIATE"))
}

power <- function(weights, quota, indices = "all", systems = NULL, rule = "and",
                  estimate = NULL, memory = NULL, overall = NULL, unit = "members",
                  blocking = NULL, exhaustive = FALSE, totals = FALSE) {
  r <- .run(weights, quota, indices, systems, rule, estimate, memory, overall, unit, blocking,
            exhaustive)
  # With totals each rule's rows end in its "sum of all" row, as in the CSV.
  columns <- if (totals) r$table else r$columns
  frame <- as.data.frame(columns, stringsAsFactors = FALSE, optional = TRUE)
  attr(frame, "csv") <- if (totals) r$csv_totals else r$csv
  frame
}

vkx_plan <- function(weights, quota, indices = "all", systems = NULL, rule = "and",
                     estimate = NULL, memory = NULL, overall = NULL, unit = "members",
                     blocking = NULL, exhaustive = FALSE) {
  q <- .request(weights, quota, systems, rule, overall, unit, blocking)
  indices <- unlist(strsplit(as.character(indices), ",", fixed = TRUE))
  p <- .Call("vkx_plan_run", q$game, q$rule, indices,
             if (is.null(estimate)) 0 else as.numeric(estimate),
             if (is.null(memory)) "" else .text(memory), isTRUE(exhaustive), PACKAGE = "vkx")
  .failed(p)
  p
}
