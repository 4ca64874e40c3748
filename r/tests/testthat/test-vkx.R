# The installed package against the command line (VKX_BINARY) on the example
# games: the same CSV and numbers to the last digit, names, the command
# line's messages, a refused game, the help pages' examples and the README's
# worked example.
root <- Sys.getenv("VKX_SOURCE_DIR")
binary <- Sys.getenv("VKX_BINARY")
skip_if(root == "" || binary == "", "VKX_SOURCE_DIR and VKX_BINARY name the checkout's program")
ex <- function(name) file.path(root, "examples", name)

cli <- function(args) {
  err <- tempfile()
  out <- suppressWarnings(system2(binary, shQuote(args), stdout = TRUE, stderr = err))
  list(status = if (is.null(attr(out, "status"))) 0L else attr(out, "status"),
       out = out, err = readLines(err, warn = FALSE)[1])
}

cases <- list(
  list(function() power(read_game(ex("eu27-votes")), 255, totals = TRUE),
       c("all", ex("eu27-votes"), "--winset", "255")),
  list(function() power(read_game(ex("us-electoral-college-2020")), 270, totals = TRUE),
       c("all", ex("us-electoral-college-2020"), "--winset", "270")),
  list(function() power(read_game(ex("congress")), c(51, 218), "shapley,banzhaf", totals = TRUE),
       c("shapley,banzhaf", ex("congress"), "--winset", "51,218")),
  list(function() power(read_game(ex("eu27-votes")), 255, c("shapley", "banzhaf"), totals = TRUE,
                        systems = list(list(read_game(ex("eu27-states")), 14),
                                       list(read_game(ex("eu27-pop")), "62%"))),
       c("shapley,banzhaf", ex("eu27-votes"), "--winset", "255", "--system", ex("eu27-states"),
         "--winset", "14", "--system", ex("eu27-pop"), "--winset", "62%")),
  list(function() power(read_game(ex("eu27-votes")), "50%:80%:5%", "banzhaf", totals = TRUE),
       c("banzhaf", ex("eu27-votes"), "--winset", "50%:80%:5%")))

test_that("power gives the command line's CSV to the last digit", {
  for (case in cases) {
    frame <- case[[1]]()
    run <- cli(c(case[[2]], "--format", "csv", "--totals"))
    expect_equal(run$status, 0L)
    expect_identical(attr(frame, "csv"), paste0(paste(run$out, collapse = "\n"), "\n"))
    table <- read.csv(text = run$out, colClasses = "character", check.names = FALSE,
                      na.strings = character())
    expect_identical(names(frame), names(table))
    for (column in names(frame)) {
      value <- frame[[column]]
      text <- table[[column]]
      if (is.numeric(value)) {
        # The shortest digits that read back as the double: 17 significant
        # digits of both are the same.
        expect_identical(ifelse(is.na(value), "", sprintf("%.17g", value)),
                         ifelse(text == "", "", sprintf("%.17g", as.numeric(text))), info = column)
      } else {
        expect_identical(ifelse(is.na(value), "", value), text, info = column)
      }
    }
  }
})

test_that("the indices alone are the columns of the table, named after the players", {
  eu <- read_game(ex("eu27-votes"))
  frame <- power(eu, 255)
  expect_identical(shapley(eu, 255), setNames(frame$SS, frame$name))
  expect_identical(banzhaf(eu, 255), setNames(frame$NBZ, frame$name))
  expect_identical(banzhaf(eu, 255, absolute = TRUE), setNames(frame$NNBZ, frame$name))
  expect_identical(publicgood(eu, 255), setNames(frame$PGI, frame$name))
  expect_identical(deegan_packel(eu, 255), setNames(frame$DPI, frame$name))
  expect_identical(unname(coleman(eu, 255)[, "initiate"]), frame$INITIATE)
  expect_identical(banzhaf(c(3, 2, 1), 4), c(0.6, 0.2, 0.2))
  expect_identical(power(c(3, 2, 1), 4, "banzhaf")$name, c("", "", ""))
  names <- c("Baden, W\u00fcrttemberg", "a:b", "{x}", "say \"hi\"")
  expect_identical(names(banzhaf(setNames(c(4, 3, 2, 1), names), 6)), names)
  sweep <- banzhaf(c(A = 3, B = 2, C = 1), "4:6")
  expect_identical(names(sweep), c("4", "5", "6"))
})

errors <- list(
  list(function() banzhaf(c(3, 1.5, 1), 4), c("banzhaf", "--weights", "3,1.5,1", "--winset", "4")),
  list(function() banzhaf(c(3, 2, 1), 7), c("banzhaf", "--weights", "3,2,1", "--winset", "7")),
  list(function() power(c(3, 2, 1), 4, "banzhaf,power"),
       c("banzhaf,power", "--weights", "3,2,1", "--winset", "4")),
  list(function() banzhaf(c(3, 2, 1), 4, estimate = 2),
       c("banzhaf", "--weights", "3,2,1", "--winset", "4", "--estimate", "2")),
  list(function() read_game("no/such/game"), c("banzhaf", "no/such/game", "--winset", "4")),
  list(function() banzhaf(vkx_game(c(3, 2, 1), names = c("A", "B")), 4), NULL),
  list(function() shapley(c(-1, rep(1, 39)), 20, memory = "1M"),
       c("shapley", "--weights", paste(c(-1, rep(1, 39)), collapse = ","), "--winset", "20",
         "--memory", "1M")))

test_that("errors stop with the command line's messages", {
  for (case in errors) {
    e <- tryCatch({
      case[[1]]()
      NULL
    }, vkx_error = function(e) e)
    expect_s3_class(e, "vkx_error")
    if (!is.null(case[[2]])) {
      run <- cli(case[[2]])
      expect_identical(conditionMessage(e), run$err)
      expect_identical(e$status, run$status)
      expect_identical(inherits(e, "vkx_refused"), grepl("hours", run$err))
    } else {
      expect_identical(conditionMessage(e), "vkx: 2 names for 3 players")
    }
  }
  expect_true(vkx_plan(c(-1, rep(1, 39)), 20, "shapley", memory = "1M")$refused)
})

test_that("every help page's examples run", {
  for (topic in c("banzhaf", "power", "read_game", "vkx_plan", "vkx-package")) {
    expect_no_error(suppressWarnings(capture.output(
      example(topic, package = "vkx", character.only = TRUE, ask = FALSE))))
  }
})

test_that("the README's worked example runs", {
  readme <- readLines(file.path(root, "README.md"), encoding = "UTF-8")
  starts <- which(readme == "```r")
  expect_true(length(starts) > 0)
  code <- unlist(lapply(starts, function(s) {
    end <- s + which(readme[(s + 1):length(readme)] == "```")[1]
    readme[(s + 1):(end - 1)]
  }))
  dir <- tempfile()
  dir.create(dir)
  file.symlink(file.path(root, "examples"), file.path(dir, "examples"))
  old <- setwd(dir)
  on.exit(setwd(old))
  expect_no_error(capture.output(eval(parse(text = code), envir = new.env())))
  pictures <- list.files(dir, pattern = "\\.png$", full.names = TRUE)
  expect_true(length(pictures) > 0 && all(file.size(pictures) > 1000))
})
